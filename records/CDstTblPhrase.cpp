#include "records/CDstTblPhrase.h"

CDstTblPhrase::CDstTblPhrase() {
    m_nFields = 7;
    m_nDefaultType = dbOpenTable;
}

void CDstTblPhrase::DoFieldExchange(CDaoFieldExchange* pFX) {
    pFX->SetFieldType(CDaoFieldExchange::outputColumn);
    DFX_Text(pFX, "[PhraseID]", m_PhraseID);
    DFX_Text(pFX, "[CategoryID]", m_CategoryID);
    DFX_Text(pFX, "[Mnemonic]", m_Mnemonic);
    DFX_Text(pFX, "[Data]", m_Data);
    DFX_Short(pFX, "[ZOrder]", m_ZOrder);
    DFX_Short(pFX, "[PunctuationLeading]", m_PunctuationLeading);
    DFX_Short(pFX, "[PunctuationTrailing]", m_PunctuationTrailing);
}
