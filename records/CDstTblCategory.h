#pragma once

#include <string>

#include "db/DaoRecordset.h"

// Destination categories, opened on the table so they can be sought by CategoryID.
class CDstTblCategory : public CDaoRecordset {
public:
    CDstTblCategory();

    void SetDBPath(const std::string& path) { m_strDBPath = path; }
    std::string GetDefaultDBName() override { return m_strDBPath; }
    std::string GetDefaultSQL() override { return "[tblCategory]"; }
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    DaoText m_CategoryID;
    DaoText m_Description;
    DaoShort m_ZOrder;
    DaoText m_strCategoryID;

    std::string m_strDBPath;
};
