#include "convert/Conversion.h"

void RunConversion(const std::string& source, const std::string& destination,
                   ConversionHost& host) {
    CSrcTblPhraseCategory srcCategories;
    CSrcQryPhraseItem srcPhraseItems;
    CDstTblCategory dstCategories;
    CDstTblPhrase dstPhrases;

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

    ConvertGlossary(srcCategories, srcPhraseItems, dstCategories, dstPhrases, host);

    srcCategories.Close();
    srcPhraseItems.Close();
    dstCategories.Close();
    dstPhrases.Close();
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
