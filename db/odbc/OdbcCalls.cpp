#include "db/odbc/OdbcCalls.h"

#include <cstring>

#include "db/odbc/OdbcText.h"

namespace {

#ifdef _WIN32
bool g_wide = true;
#else
bool g_wide = false;
#endif

SQLCHAR* Narrow(const std::string& text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

std::string FromWide(const SQLWCHAR* text) {
    std::u16string wide;
    for (const auto* c = reinterpret_cast<const char16_t*>(text); *c != 0; ++c) wide += *c;
    return TextFromWide(wide);
}

}  // namespace

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide text is UTF-16");

bool OdbcWideCalls() { return g_wide; }
void UseOdbcWideCalls(bool wide) { g_wide = wide; }

SQLRETURN DriverConnectText(SQLHDBC dbc, const std::string& connection) {
    // The whole string, however long (SQL_NTS): a length in a SQLSMALLINT would wrap.
    if (!g_wide) {
        return SQLDriverConnect(dbc, nullptr, Narrow(connection), SQL_NTS, nullptr, 0, nullptr,
                                SQL_DRIVER_NOPROMPT);
    }
    std::u16string wide = WideFromText(connection);
    return SQLDriverConnectW(dbc, nullptr, Wide(wide), SQL_NTS, nullptr, 0, nullptr,
                             SQL_DRIVER_NOPROMPT);
}

SQLRETURN PrepareText(SQLHSTMT stmt, const std::string& sql) {
    if (!g_wide) return SQLPrepare(stmt, Narrow(sql), SQL_NTS);
    std::u16string wide = WideFromText(sql);
    return SQLPrepareW(stmt, Wide(wide), SQL_NTS);
}

SQLRETURN ExecDirectText(SQLHSTMT stmt, const std::string& sql) {
    if (!g_wide) return SQLExecDirect(stmt, Narrow(sql), SQL_NTS);
    std::u16string wide = WideFromText(sql);
    return SQLExecDirectW(stmt, Wide(wide), SQL_NTS);
}

SQLRETURN CatalogText(SQLHSTMT stmt, OdbcCatalog catalog, const std::string& table) {
    if (!g_wide) {
        SQLCHAR* name = Narrow(table);
        switch (catalog) {
            case OdbcCatalog::Tables:
                return SQLTables(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS, nullptr, 0);
            case OdbcCatalog::Columns:
                return SQLColumns(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS, nullptr, 0);
            case OdbcCatalog::PrimaryKeys:
                return SQLPrimaryKeys(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS);
            case OdbcCatalog::Statistics:
                return SQLStatistics(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS, SQL_INDEX_ALL,
                                     SQL_QUICK);
        }
    }
    std::u16string wide = WideFromText(table);
    SQLWCHAR* name = Wide(wide);
    switch (catalog) {
        case OdbcCatalog::Tables:
            return SQLTablesW(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS, nullptr, 0);
        case OdbcCatalog::Columns:
            return SQLColumnsW(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS, nullptr, 0);
        case OdbcCatalog::PrimaryKeys:
            return SQLPrimaryKeysW(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS);
        case OdbcCatalog::Statistics:
            return SQLStatisticsW(stmt, nullptr, 0, nullptr, 0, name, SQL_NTS, SQL_INDEX_ALL,
                                  SQL_QUICK);
    }
    return SQL_ERROR;
}

SQLRETURN ColumnNameText(SQLHSTMT stmt, SQLUSMALLINT column, std::string& name) {
    SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    if (!g_wide) {
        SQLCHAR text[512] = {};
        const SQLRETURN rc = SQLDescribeCol(stmt, column, text, sizeof text, &length, &type, &size,
                                            &digits, &nullable);
        name = reinterpret_cast<const char*>(text);
        return rc;
    }
    SQLWCHAR text[512] = {};
    const SQLRETURN rc = SQLDescribeColW(stmt, column, text, sizeof text / sizeof text[0], &length,
                                         &type, &size, &digits, &nullable);
    name = FromWide(text);
    return rc;
}

bool DiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record,
                    OdbcDiagnostic& diagnostic) {
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!g_wide) {
        SQLCHAR state[6] = {};
        SQLCHAR text[1024] = {};
        if (!SQL_SUCCEEDED(SQLGetDiagRec(handleType, handle, record, state, &native, text,
                                         sizeof text, &length))) {
            return false;
        }
        diagnostic = {reinterpret_cast<const char*>(state), static_cast<int32_t>(native),
                      reinterpret_cast<const char*>(text)};
        return true;
    }
    SQLWCHAR state[6] = {};
    SQLWCHAR text[1024] = {};
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, record, state, &native, text,
                                      sizeof text / sizeof text[0], &length))) {
        return false;
    }
    diagnostic = {FromWide(state), static_cast<int32_t>(native), FromWide(text)};
    return true;
}

std::string InfoText(SQLHDBC dbc, SQLUSMALLINT infoType) {
    SQLSMALLINT length = 0;
    if (!g_wide) {
        SQLCHAR text[1024] = {};
        if (!SQL_SUCCEEDED(SQLGetInfo(dbc, infoType, text, sizeof text, &length))) return {};
        return reinterpret_cast<const char*>(text);
    }
    SQLWCHAR text[1024] = {};
    if (!SQL_SUCCEEDED(SQLGetInfoW(dbc, infoType, text, sizeof text, &length))) return {};
    return FromWide(text);
}

SQLSMALLINT TextCType() { return g_wide ? SQL_C_WCHAR : SQL_C_CHAR; }
std::size_t TextTerminator() { return g_wide ? sizeof(SQLWCHAR) : 1; }

std::string TextValueBytes(const std::string& text) {
    if (!g_wide) return text;
    const std::u16string wide = WideFromText(text);
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(char16_t));
}

std::string TextFromValueBytes(const std::string& bytes) {
    if (!g_wide) return bytes;
    std::u16string wide(bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(char16_t));
    return TextFromWide(wide);
}
