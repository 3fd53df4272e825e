#include "convert/Conversion.h"
#include "convert/ConversionRecordsets.h"

void RunConversion(const std::string& source, const std::string& destination,
                   ConversionHost& host) {
    ConversionRecordsets recordsets;
    recordsets.Open(source, destination);
    ConvertGlossary(recordsets.srcCategories, recordsets.srcPhraseItems, recordsets.dstCategories,
                    recordsets.dstPhrases, host);
    recordsets.Close();
}

int ConvertGlossary(CSrcTblPhraseCategory& srcCategories, CSrcQryPhraseItem& srcPhraseItems,
                    CDstTblCategory& dstCategories, CDstTblPhrase& dstPhrases,
                    ConversionHost& host) {
    host.EnableStartButton(false);
    CopyCategories(srcCategories, dstCategories);
    CopyPhrases(srcPhraseItems, dstPhrases);
    // Each of these reports its own engine error and the next runs regardless.
    NormalizeCategoryIds(dstCategories, host);
    NormalizePhraseCategoryIds(dstPhrases, host);
    FlattenPhraseText(dstPhrases, host.RichTextControl(), host);
    host.EnableStartButton(true);
    return 1;
}
