#include "db/DaoRecordset.h"

#include "db/DaoException.h"
#include "db/RecordsetCursor.h"
#include "db/Store.h"
#include "db/odbc/OdbcConnectionString.h"

namespace {

// "[name]" names a whole table; anything else is a query.
bool IsTableName(const std::string& source) {
    return source.size() >= 2 && source.front() == '[' && source.back() == ']' &&
           source.find(']') == source.size() - 1;
}

}  // namespace

CDaoRecordset::CDaoRecordset() = default;

CDaoRecordset::~CDaoRecordset() {
    // Destruction during an error's unwinding must not raise a second one; the pending writes are
    // still committed by the connection itself.
    try {
        Close();
    } catch (...) {
    }
}

void CDaoRecordset::Open(int nOpenType, const char* lpszSQL) {
    Close();
    CDaoFieldExchange exchange;
    DoFieldExchange(&exchange);
    if (static_cast<int>(exchange.Bindings().size()) != m_nFields || m_nFields > 64) {
        ThrowDaoException(DaoError::ReservedError,
                          "The recordset binds " + std::to_string(exchange.Bindings().size()) +
                              " columns but declares " + std::to_string(m_nFields) + ".");
    }
    const std::string path = GetDefaultDBName();
    const std::string source = lpszSQL != nullptr ? std::string(lpszSQL) : GetDefaultSQL();
    const int type = nOpenType == AFX_DAO_USE_DEFAULT_TYPE ? m_nDefaultType : nOpenType;
    const bool tableName = IsTableName(source);
    const std::string name = tableName ? source.substr(1, source.size() - 2) : source;

    const StoreFile file = CheckStoreFile(path);
    Store& store = StoreFor(file);
    // Messages name the database; a connection string's password never appears in them.
    const std::string shownName = IsOdbcDatabaseName(path) ? OdbcDisplayName(path.substr(5)) : path;
    DaoRowBinding row(exchange.Bindings(), shownName, tableName ? name : "query");
    if (type == dbOpenTable) {
        if (!tableName) {
            ThrowDaoException(DaoError::NotSupported,
                              "A table-type recordset needs a table name, not '" + source + "'.");
        }
        m_pCursor = store.OpenTable(file, std::move(row), name);
    } else {
        m_pCursor = store.OpenDynaset(file, std::move(row), name, tableName);
    }
}

void CDaoRecordset::Close() {
    if (!m_pCursor) return;
    std::unique_ptr<RecordsetCursor> cursor = std::move(m_pCursor);
    cursor->Close();
}

bool CDaoRecordset::IsOpen() const { return m_pCursor != nullptr; }

RecordsetCursor& CDaoRecordset::Cursor() const {
    if (!m_pCursor) {
        ThrowDaoException(DaoError::ObjectInvalid, "The recordset is not open.");
    }
    return *m_pCursor;
}

void CDaoRecordset::SetCurrentIndex(const char* lpszIndex) { Cursor().SetCurrentIndex(lpszIndex); }

bool CDaoRecordset::Seek(const char* lpszComparison, const COleVariant* pKey1) {
    if (pKey1 == nullptr) {
        ThrowDaoException(DaoError::NotSupported, "Seek needs a key.");
    }
    return Cursor().Seek(lpszComparison, *pKey1);
}

void CDaoRecordset::AddNew() { Cursor().AddNew(); }
void CDaoRecordset::Edit() { Cursor().Edit(); }
void CDaoRecordset::Update() { Cursor().Update(); }
bool CDaoRecordset::IsBOF() const { return Cursor().IsBOF(); }
bool CDaoRecordset::IsEOF() const { return Cursor().IsEOF(); }
void CDaoRecordset::MoveFirst() { Cursor().MoveFirst(); }
void CDaoRecordset::MoveNext() { Cursor().MoveNext(); }
long long CDaoRecordset::GetRecordCount() { return Cursor().RecordCount(); }
