#include <cstring>
#include <unordered_set>

#include "convert/BracedId.h"
#include "convert/Conversion.h"

namespace {

// The identifier as the category pass leaves it: cut after its braced part.
std::string CutIdentifier(const std::string& categoryId) {
    std::string cut = categoryId;
    ExtractBracedId(cut.data());
    cut.resize(std::strlen(cut.c_str()));
    return cut;
}

// Finds the destination row of a source category: by its full identifier, or else by the
// identifier as the category pass cuts it, which is how an earlier run left a category whose
// identifier had a tail. Without that second look every rerun would add a twin the category pass
// could never cut. The second look takes only a row an earlier run's category pass left (its
// identifier already cut, its strCategoryID that braced part) that no category of this run has
// written yet: a user's own row, or one a category of this run claimed, is never taken over, and
// the twin is added as it would be without the look.
bool SeekCategory(CDstTblCategory& destination, const std::string& categoryId,
                  const std::unordered_set<std::string>& claimed) {
    const COleVariant key(categoryId, VT_BSTRT);
    if (destination.Seek("=", &key)) return true;
    const std::string cut = CutIdentifier(categoryId);
    if (cut == categoryId) return false;
    const COleVariant cutKey(cut, VT_BSTRT);
    if (!destination.Seek("=", &cutKey)) return false;
    const std::string& rowId = destination.m_CategoryID.Value();
    std::string buffer = rowId;
    const std::string braced = ExtractBracedId(buffer.data());
    const bool leftByEarlierRun =
        std::strlen(buffer.c_str()) == rowId.size() && destination.m_strCategoryID.Value() == braced;
    return leftByEarlierRun && !claimed.contains(rowId);
}

}  // namespace

void CopyCategories(CSrcTblPhraseCategory& source, CDstTblCategory& destination,
                    RunProgress* progress) {
    if (!source.IsBOF()) source.MoveFirst();
    if (progress) progress->BeginPass(ConversionPass::CopyCategories, source.GetRecordCount());
    std::unordered_set<std::string> claimed;  // identifiers this run has written, as written
    while (!source.IsEOF()) {
        const bool found = SeekCategory(destination, source.m_CategoryID.Value(), claimed);
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
        claimed.insert(source.m_CategoryID.Value());
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
