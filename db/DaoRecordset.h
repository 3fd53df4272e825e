#pragma once

#include <memory>
#include <string>

#include "db/COleVariant.h"
#include "db/DaoFieldExchange.h"

inline constexpr int dbOpenTable = 1;
inline constexpr int dbOpenDynaset = 2;
inline constexpr int AFX_DAO_USE_DEFAULT_TYPE = -1;

class RecordsetCursor;

// A recordset over one table (table-type: index selection, seek, add and edit) or over a query
// (dynaset: read only). It opens its own connection to the file its class names; every recordset
// open on one file shares that file's connection.
class CDaoRecordset {
public:
    CDaoRecordset();
    virtual ~CDaoRecordset();
    CDaoRecordset(const CDaoRecordset&) = delete;
    CDaoRecordset& operator=(const CDaoRecordset&) = delete;

    void Open(int nOpenType = AFX_DAO_USE_DEFAULT_TYPE, const char* lpszSQL = nullptr);
    void Close();
    bool IsOpen() const;

    void SetCurrentIndex(const char* lpszIndex);
    bool Seek(const char* lpszComparison, const COleVariant* pKey1);

    void AddNew();
    void Edit();
    void Update();

    bool IsBOF() const;
    bool IsEOF() const;
    void MoveFirst();
    void MoveNext();
    // Table-type: the rows the table holds. Dynaset: every row its query gives now, counted by
    // running the query once more (DAO would count only the rows visited so far).
    long long GetRecordCount();

    virtual std::string GetDefaultDBName() = 0;
    virtual std::string GetDefaultSQL() = 0;
    virtual void DoFieldExchange(CDaoFieldExchange* pFX) = 0;

protected:
    int m_nDefaultType = dbOpenDynaset;
    int m_nFields = 0;
    bool m_bCheckCacheForDirtyFields = true;

private:
    RecordsetCursor& Cursor() const;

    std::unique_ptr<RecordsetCursor> m_pCursor;
};
