#include "records/CSrcQryPhraseItem.h"

CSrcQryPhraseItem::CSrcQryPhraseItem() {
    m_nFields = 4;
    m_nDefaultType = dbOpenDynaset;
    // Never edited, so there is nothing to compare changes against.
    m_bCheckCacheForDirtyFields = false;
}

std::string CSrcQryPhraseItem::GetDefaultSQL() {
    return "SELECT tblPhraseItem.ItemID, tblPhraseItem.ShortDescription, "
           "tblPhraseItem.FullDescription, tblPhraseRelation.CategoryID FROM tblPhraseItem INNER "
           "JOIN tblPhraseRelation ON tblPhraseItem.ItemID = tblPhraseRelation.ItemID;";
}

void CSrcQryPhraseItem::DoFieldExchange(CDaoFieldExchange* pFX) {
    pFX->SetFieldType(CDaoFieldExchange::outputColumn);
    DFX_Text(pFX, "[ItemID]", m_ItemID);
    DFX_Text(pFX, "[ShortDescription]", m_ShortDescription);
    DFX_Text(pFX, "[FullDescription]", m_FullDescription);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
}
