#include "convert/Conversion.h"

void CopyCategories(CSrcTblPhraseCategory& source, CDstTblCategory& destination) {
    if (!source.IsBOF()) source.MoveFirst();
    while (!source.IsEOF()) {
        const COleVariant key(source.m_CategoryID.Value(), VT_BSTRT);
        if (destination.Seek("=", &key)) {
            destination.Edit();
        } else {
            destination.AddNew();
        }
        destination.m_CategoryID = source.m_CategoryID.Value();
        const std::string& description = source.m_Description.Value();
        destination.m_Description =
            description.empty() ? std::string(kUndefinedDescription) : description;
        destination.Update();
        source.MoveNext();
    }
}

void CopyPhrases(CSrcQryPhraseItem& source, CDstTblPhrase& destination) {
    if (!source.IsBOF()) source.MoveFirst();
    while (!source.IsEOF()) {
        const COleVariant key(source.m_ItemID.Value(), VT_BSTRT);
        if (destination.Seek("=", &key)) {
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
        source.MoveNext();
    }
}
