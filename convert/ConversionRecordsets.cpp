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

std::vector<CDaoException> ConversionRecordsets::CloseAfterError() {
    std::vector<CDaoException> failures;
    for (CDaoRecordset* recordset : std::initializer_list<CDaoRecordset*>{
             &srcCategories, &srcPhraseItems, &dstCategories, &dstPhrases}) {
        try {
            recordset->Close();
        } catch (const CDaoException& e) {
            failures.push_back(e);
        } catch (...) {
            // Out of memory while closing: the error that ended the run is the one to tell.
        }
    }
    return failures;
}
