#pragma once

#include <string>

#include "db/DaoRecordset.h"

// Source categories: the whole of tblPhraseCategory, read as a dynaset.
class CSrcTblPhraseCategory : public CDaoRecordset {
public:
    CSrcTblPhraseCategory();

    void SetDBPath(const std::string& path) { m_strDBPath = path; }
    std::string GetDefaultDBName() override { return m_strDBPath; }
    std::string GetDefaultSQL() override { return "[tblPhraseCategory]"; }
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    DaoLong m_Gen_Tag;
    DaoLong m_s_Generation;
    DaoText m_s_GUID;
    DaoLongBinary m_s_Lineage;
    DaoText m_CategoryID;
    DaoText m_Description;
    DaoText m_Parent;
    DaoShort m_ZOrder;
    DaoText m_GUID;
    DaoText m_Tag;
    DaoText m_Glossary;
    DaoLong m_RecordID;
    DaoDateTime m_ReplicationModified;

    std::string m_strDBPath;
};
