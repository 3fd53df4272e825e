#include <cstring>

#include "convert/BracedId.h"
#include "convert/Conversion.h"

namespace {

// Finds the destination row of a source category: by its full identifier, or else by the
// identifier as the category pass cuts it after its braced part, which is how an earlier run
// left a category whose identifier had a tail. Without that second look every rerun would add a
// twin the category pass could never cut.
bool SeekCategory(CDstTblCategory& destination, const std::string& categoryId) {
    const COleVariant key(categoryId, VT_BSTRT);
    if (destination.Seek("=", &key)) return true;
    std::string cut = categoryId;
    ExtractBracedId(cut.data());
    cut.resize(std::strlen(cut.c_str()));
    if (cut == categoryId) return false;
    const COleVariant cutKey(cut, VT_BSTRT);
    return destination.Seek("=", &cutKey);
}

}  // namespace

void CopyCategories(CSrcTblPhraseCategory& source, CDstTblCategory& destination,
                    RunProgress* progress) {
    if (!source.IsBOF()) source.MoveFirst();
    if (progress) progress->BeginPass(ConversionPass::CopyCategories, source.GetRecordCount());
    while (!source.IsEOF()) {
        const bool found = SeekCategory(destination, source.m_CategoryID.Value());
        if (found) {
            destination.Edit();
        } else {
            destination.AddNew();
        }
        destination.m_CategoryID = source.m_CategoryID.Value();
        const std::string& description = source.m_Description.Value();
        destination.m_Description =
            description.empty() ? std::string(kUndefinedDescription) : description;
        destination.Update();
        if (progress) {
            ConversionSummary& summary = progress->Summary();
            ++(found ? summary.categoriesOverwritten : summary.categoriesAdded);
            progress->RowDone();
        }
        source.MoveNext();
    }
}

void CopyPhrases(CSrcQryPhraseItem& source, CDstTblPhrase& destination, RunProgress* progress) {
    if (!source.IsBOF()) source.MoveFirst();
    if (progress) progress->BeginPass(ConversionPass::CopyPhrases, source.GetRecordCount());
    while (!source.IsEOF()) {
        const COleVariant key(source.m_ItemID.Value(), VT_BSTRT);
        const bool found = destination.Seek("=", &key);
        if (found) {
            destination.Edit();
        } else {
            destination.AddNew();
        }
        destination.m_PhraseID = source.m_ItemID.Value();
        destination.m_Mnemonic = source.m_ShortDescription.Value();
        const std::string& fullDescription = source.m_FullDescription.Value();
        destination.m_Data =
            fullDescription.empty() ? std::string(kPhraseDataSuffix) : fullDescription;
        destination.m_CategoryID = source.m_CategoryID.Value();
        destination.m_PunctuationLeading = 2;
        destination.m_PunctuationTrailing = 0;
        destination.Update();
        if (progress) {
            ConversionSummary& summary = progress->Summary();
            ++(found ? summary.phrasesOverwritten : summary.phrasesAdded);
            progress->RowDone();
        }
        source.MoveNext();
    }
}
