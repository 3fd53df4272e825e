#pragma once

#include <string>

#include "db/DaoRecordset.h"

// Source phrase items, one row per category relation of each item.
class CSrcQryPhraseItem : public CDaoRecordset {
public:
    CSrcQryPhraseItem();

    void SetDBPath(const std::string& path) { m_strDBPath = path; }
    std::string GetDefaultDBName() override { return m_strDBPath; }
    std::string GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    DaoText m_ItemID;
    DaoText m_ShortDescription;
    DaoText m_FullDescription;
    DaoText m_CategoryID;

    std::string m_strDBPath;
};
