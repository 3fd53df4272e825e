#pragma once

#include <string>

#include "db/DaoRecordset.h"

// Destination phrases, opened on the table so they can be sought by PhraseID.
class CDstTblPhrase : public CDaoRecordset {
public:
    CDstTblPhrase();

    void SetDBPath(const std::string& path) { m_strDBPath = path; }
    std::string GetDefaultDBName() override { return m_strDBPath; }
    std::string GetDefaultSQL() override { return "[tblPhrase]"; }
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    DaoText m_PhraseID;
    DaoText m_CategoryID;
    DaoText m_Mnemonic;
    DaoText m_Data;
    DaoShort m_ZOrder;
    DaoShort m_PunctuationLeading;
    DaoShort m_PunctuationTrailing;

    std::string m_strDBPath;
};
