// The wide (UTF-16) entry points the Access driver has, as a Unicode driver: each turns its text
// into UTF-8 and calls the emulation's narrow entry point, which the SQLite driver reads as UTF-8.
// (The module is linked -Bsymbolic-functions: these calls stay inside it.)

#include <cstring>

#include "tests/accessdriver/EmulatedDriver.h"

namespace {

std::string Utf8(const SQLWCHAR* text, SQLINTEGER length) {
    if (text == nullptr) return {};
    std::u16string wide;
    for (SQLINTEGER i = 0; length == SQL_NTS ? text[i] != 0 : i < length; ++i) {
        wide += static_cast<char16_t>(text[i]);
    }
    std::string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf16(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : b & (0xFF >> (n + 1));
        for (std::size_t k = 1; k < n && i + k < text.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += n;
    }
    return out;
}

// Copies text into a wide buffer of room characters; length gets its whole length in
// characters (or bytes, for the fields that count so).
SQLRETURN CopyWide(const std::string& text, SQLWCHAR* out, SQLINTEGER room, SQLINTEGER* length,
                   bool bytes = false) {
    const std::u16string wide = Utf16(text);
    if (length != nullptr) {
        *length = static_cast<SQLINTEGER>(wide.size() * (bytes ? sizeof(SQLWCHAR) : 1));
    }
    if (out == nullptr || room <= 0) return SQL_SUCCESS;
    const std::size_t copied =
        std::min<std::size_t>(wide.size(), static_cast<std::size_t>(room) - 1);
    for (std::size_t i = 0; i < copied; ++i) out[i] = wide[i];
    out[copied] = 0;
    return copied < wide.size() ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

SQLRETURN CopyWide16(const std::string& text, SQLWCHAR* out, SQLSMALLINT room, SQLSMALLINT* length,
                     bool bytes = false) {
    SQLINTEGER whole = 0;
    const SQLRETURN rc = CopyWide(text, out, room, &whole, bytes);
    if (length != nullptr) *length = static_cast<SQLSMALLINT>(whole);
    return rc;
}

SQLCHAR* Chars(std::string& text, const SQLWCHAR* original) {
    return original == nullptr ? nullptr : reinterpret_cast<SQLCHAR*>(text.data());
}

bool IsTextInfo(SQLUSMALLINT type) {
    switch (type) {
        case SQL_IDENTIFIER_QUOTE_CHAR:
        case SQL_DATABASE_NAME:
        case SQL_DBMS_NAME:
        case SQL_DBMS_VER:
        case SQL_DRIVER_NAME:
        case SQL_DRIVER_VER:
        case SQL_DRIVER_ODBC_VER:
        case SQL_DATA_SOURCE_NAME:
        case SQL_DATA_SOURCE_READ_ONLY:
        case SQL_SEARCH_PATTERN_ESCAPE:
        case SQL_CATALOG_NAME_SEPARATOR:
        case SQL_CATALOG_TERM:
        case SQL_KEYWORDS:
        case SQL_SERVER_NAME:
        case SQL_USER_NAME:
        case SQL_SPECIAL_CHARACTERS:
        case SQL_ODBC_VER:
            return true;
        default:
            return false;
    }
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC hdbc, SQLHWND hwnd, SQLWCHAR* szConnStrIn,
                                    SQLSMALLINT cbConnStrIn, SQLWCHAR* szConnStrOut,
                                    SQLSMALLINT cbConnStrOutMax, SQLSMALLINT* pcbConnStrOut,
                                    SQLUSMALLINT fDriverCompletion) {
    std::string in = Utf8(szConnStrIn, cbConnStrIn);
    char out[4096] = {};
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(hdbc, hwnd, reinterpret_cast<SQLCHAR*>(in.data()),
                                          SQL_NTS, reinterpret_cast<SQLCHAR*>(out), sizeof out,
                                          &outLength, fDriverCompletion);
    if (SQL_SUCCEEDED(rc)) CopyWide16(out, szConnStrOut, cbConnStrOutMax, pcbConnStrOut);
    return rc;
}

SQLRETURN SQL_API SQLPrepareW(SQLHSTMT StatementHandle, SQLWCHAR* StatementText,
                              SQLINTEGER TextLength) {
    std::string sql = Utf8(StatementText, TextLength);
    return SQLPrepare(StatementHandle, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT StatementHandle, SQLWCHAR* StatementText,
                                 SQLINTEGER TextLength) {
    std::string sql = Utf8(StatementText, TextLength);
    return SQLExecDirect(StatementHandle, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
}

SQLRETURN SQL_API SQLTablesW(SQLHSTMT StatementHandle, SQLWCHAR* CatalogName,
                             SQLSMALLINT NameLength1, SQLWCHAR* SchemaName, SQLSMALLINT NameLength2,
                             SQLWCHAR* TableName, SQLSMALLINT NameLength3, SQLWCHAR* TableType,
                             SQLSMALLINT NameLength4) {
    std::string c = Utf8(CatalogName, NameLength1), s = Utf8(SchemaName, NameLength2);
    std::string t = Utf8(TableName, NameLength3), y = Utf8(TableType, NameLength4);
    return SQLTables(StatementHandle, Chars(c, CatalogName), SQL_NTS, Chars(s, SchemaName), SQL_NTS,
                     Chars(t, TableName), SQL_NTS, Chars(y, TableType), SQL_NTS);
}

SQLRETURN SQL_API SQLColumnsW(SQLHSTMT StatementHandle, SQLWCHAR* CatalogName,
                              SQLSMALLINT NameLength1, SQLWCHAR* SchemaName,
                              SQLSMALLINT NameLength2, SQLWCHAR* TableName, SQLSMALLINT NameLength3,
                              SQLWCHAR* ColumnName, SQLSMALLINT NameLength4) {
    std::string c = Utf8(CatalogName, NameLength1), s = Utf8(SchemaName, NameLength2);
    std::string t = Utf8(TableName, NameLength3), n = Utf8(ColumnName, NameLength4);
    return SQLColumns(StatementHandle, Chars(c, CatalogName), SQL_NTS, Chars(s, SchemaName),
                      SQL_NTS, Chars(t, TableName), SQL_NTS, Chars(n, ColumnName), SQL_NTS);
}

SQLRETURN SQL_API SQLStatisticsW(SQLHSTMT StatementHandle, SQLWCHAR* CatalogName,
                                 SQLSMALLINT NameLength1, SQLWCHAR* SchemaName,
                                 SQLSMALLINT NameLength2, SQLWCHAR* TableName,
                                 SQLSMALLINT NameLength3, SQLUSMALLINT Unique,
                                 SQLUSMALLINT Reserved) {
    std::string c = Utf8(CatalogName, NameLength1), s = Utf8(SchemaName, NameLength2);
    std::string t = Utf8(TableName, NameLength3);
    return SQLStatistics(StatementHandle, Chars(c, CatalogName), SQL_NTS, Chars(s, SchemaName),
                         SQL_NTS, Chars(t, TableName), SQL_NTS, Unique, Reserved);
}

SQLRETURN SQL_API SQLPrimaryKeysW(SQLHSTMT hstmt, SQLWCHAR* szCatalogName,
                                  SQLSMALLINT cbCatalogName, SQLWCHAR* szSchemaName,
                                  SQLSMALLINT cbSchemaName, SQLWCHAR* szTableName,
                                  SQLSMALLINT cbTableName) {
    std::string c = Utf8(szCatalogName, cbCatalogName), s = Utf8(szSchemaName, cbSchemaName);
    std::string t = Utf8(szTableName, cbTableName);
    return SQLPrimaryKeys(hstmt, Chars(c, szCatalogName), SQL_NTS, Chars(s, szSchemaName), SQL_NTS,
                          Chars(t, szTableName), SQL_NTS);
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                                  SQLWCHAR* ColumnName, SQLSMALLINT BufferLength,
                                  SQLSMALLINT* NameLength, SQLSMALLINT* DataType,
                                  SQLULEN* ColumnSize, SQLSMALLINT* DecimalDigits,
                                  SQLSMALLINT* Nullable) {
    char name[1024] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc =
        SQLDescribeCol(StatementHandle, ColumnNumber, reinterpret_cast<SQLCHAR*>(name), sizeof name,
                       &length, DataType, ColumnSize, DecimalDigits, Nullable);
    if (!SQL_SUCCEEDED(rc)) return rc;
    return CopyWide16(name, ColumnName, BufferLength, NameLength);
}

SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                                   SQLUSMALLINT FieldIdentifier, SQLPOINTER CharacterAttribute,
                                   SQLSMALLINT BufferLength, SQLSMALLINT* StringLength,
                                   SQLLEN* NumericAttribute) {
    char text[1024] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLColAttribute(StatementHandle, ColumnNumber, FieldIdentifier, text,
                                         sizeof text, &length, NumericAttribute);
    if (!SQL_SUCCEEDED(rc) || CharacterAttribute == nullptr) return rc;
    // A text attribute (names, labels, type names); the numeric ones leave the text empty.
    return CopyWide16(text, static_cast<SQLWCHAR*>(CharacterAttribute),
                      static_cast<SQLSMALLINT>(BufferLength / sizeof(SQLWCHAR)), StringLength,
                      true);
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT RecNumber,
                                 SQLWCHAR* Sqlstate, SQLINTEGER* NativeError, SQLWCHAR* MessageText,
                                 SQLSMALLINT BufferLength, SQLSMALLINT* TextLength) {
    char state[6] = {};
    char text[2048] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc =
        SQLGetDiagRec(HandleType, Handle, RecNumber, reinterpret_cast<SQLCHAR*>(state), NativeError,
                      reinterpret_cast<SQLCHAR*>(text), sizeof text, &length);
    if (!SQL_SUCCEEDED(rc)) return rc;
    if (Sqlstate != nullptr) CopyWide16(state, Sqlstate, 6, nullptr);
    return CopyWide16(text, MessageText, BufferLength, TextLength);
}

SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT RecNumber,
                                   SQLSMALLINT DiagIdentifier, SQLPOINTER DiagInfo,
                                   SQLSMALLINT BufferLength, SQLSMALLINT* StringLength) {
    switch (DiagIdentifier) {
        case SQL_DIAG_SQLSTATE:
        case SQL_DIAG_MESSAGE_TEXT:
        case SQL_DIAG_CLASS_ORIGIN:
        case SQL_DIAG_SUBCLASS_ORIGIN:
        case SQL_DIAG_CONNECTION_NAME:
        case SQL_DIAG_SERVER_NAME:
        case SQL_DIAG_DYNAMIC_FUNCTION: {
            char text[2048] = {};
            SQLSMALLINT length = 0;
            const SQLRETURN rc = SQLGetDiagField(HandleType, Handle, RecNumber, DiagIdentifier,
                                                 text, sizeof text, &length);
            if (!SQL_SUCCEEDED(rc)) return rc;
            return CopyWide16(text, static_cast<SQLWCHAR*>(DiagInfo),
                              static_cast<SQLSMALLINT>(BufferLength / sizeof(SQLWCHAR)),
                              StringLength, true);
        }
        default:
            return SQLGetDiagField(HandleType, Handle, RecNumber, DiagIdentifier, DiagInfo,
                                   BufferLength, StringLength);
    }
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC ConnectionHandle, SQLUSMALLINT InfoType, SQLPOINTER InfoValue,
                              SQLSMALLINT BufferLength, SQLSMALLINT* StringLength) {
    if (!IsTextInfo(InfoType)) {
        return SQLGetInfo(ConnectionHandle, InfoType, InfoValue, BufferLength, StringLength);
    }
    char text[4096] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetInfo(ConnectionHandle, InfoType, text, sizeof text, &length);
    if (!SQL_SUCCEEDED(rc)) return rc;
    return CopyWide16(text, static_cast<SQLWCHAR*>(InfoValue),
                      static_cast<SQLSMALLINT>(BufferLength / sizeof(SQLWCHAR)), StringLength,
                      true);
}

}  // extern "C"
