#include "convert/ConversionRecordsets.h"

void ConversionRecordsets::Open(const std::string& source, const std::string& destination) {
    srcCategories.SetDBPath(source);
    srcCategories.Open();
    srcPhraseItems.SetDBPath(source);
    srcPhraseItems.Open();
    dstCategories.SetDBPath(destination);
    dstCategories.Open();
    dstCategories.SetCurrentIndex("PrimaryKey");
    dstPhrases.SetDBPath(destination);
    dstPhrases.Open();
    dstPhrases.SetCurrentIndex("PrimaryKey");
}

void ConversionRecordsets::Close() {
    srcCategories.Close();
    srcPhraseItems.Close();
    dstCategories.Close();
    dstPhrases.Close();
}
