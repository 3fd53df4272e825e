#include "records/CDstTblCategory.h"

CDstTblCategory::CDstTblCategory() {
    m_nFields = 4;
    m_nDefaultType = dbOpenTable;
}

void CDstTblCategory::DoFieldExchange(CDaoFieldExchange* pFX) {
    pFX->SetFieldType(CDaoFieldExchange::outputColumn);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
    DFX_Text(pFX, "[Description]", m_Description);
    DFX_Short(pFX, "[ZOrder]", m_ZOrder);
    DFX_Text(pFX, "[strCategoryID]", m_strCategoryID);
}
