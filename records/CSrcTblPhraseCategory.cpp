#include "records/CSrcTblPhraseCategory.h"

CSrcTblPhraseCategory::CSrcTblPhraseCategory() {
    m_nFields = 13;
    m_nDefaultType = dbOpenDynaset;
}

void CSrcTblPhraseCategory::DoFieldExchange(CDaoFieldExchange* pFX) {
    pFX->SetFieldType(CDaoFieldExchange::outputColumn);
    DFX_Long(pFX, "[Gen_Tag]", m_Gen_Tag);
    DFX_Long(pFX, "[s_Generation]", m_s_Generation);
    DFX_Text(pFX, "[s_GUID]", m_s_GUID);
    DFX_LongBinary(pFX, "[s_Lineage]", m_s_Lineage, 32768, AFX_DAO_DISABLE_FIELD_CACHE);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
    DFX_Text(pFX, "[Description]", m_Description);
    DFX_Text(pFX, "[Parent]", m_Parent);
    DFX_Short(pFX, "[ZOrder]", m_ZOrder);
    DFX_Text(pFX, "[GUID]", m_GUID);
    DFX_Text(pFX, "[Tag]", m_Tag);
    DFX_Text(pFX, "[Glossary]", m_Glossary);
    DFX_Long(pFX, "[RecordID]", m_RecordID);
    DFX_DateTime(pFX, "[ReplicationModified]", m_ReplicationModified);
}
