// The Access driver's catalogue: no SQLPrimaryKeys, and the key index named as Access names it.
#include <cstdlib>

#include "tests/accessdriver/EmulatedDriver.h"

namespace {

std::string Literal(const std::string& value, bool number) {
    if (value == "\x01") return "NULL";
    if (number) return value;
    std::string quoted = "'";
    for (char c : value) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

// SQLStatistics with the table's key index named PrimaryKey, as in a file Access made: the
// rows the SQLite driver gives, renamed, handed back through a query on the same statement.
SQLRETURN StatisticsNamingThePrimaryKey(SQLHSTMT stmt, SQLCHAR* table, SQLSMALLINT length,
                                        SQLUSMALLINT unique, SQLUSMALLINT reserved) {
    SQLHDBC dbc = SQL_NULL_HDBC;
    {
        std::lock_guard lock(State().mutex);
        dbc = State().statements[stmt].dbc;
    }
    SQLHSTMT own = SQL_NULL_HSTMT;
    REAL(SQLAllocHandle)(SQL_HANDLE_STMT, dbc, &own);
    REAL(SQLPrimaryKeys)(own, nullptr, 0, nullptr, 0, table, length);
    std::vector<std::string> key;
    for (const auto& row : ReadAll(own, 6)) key.push_back(UpperCase(row[3]));
    SQLRETURN rc =
        REAL(SQLStatistics)(own, nullptr, 0, nullptr, 0, table, length, unique, reserved);
    std::vector<std::vector<std::string>> rows =
        SQL_SUCCEEDED(rc) ? ReadAll(own, 13) : decltype(rows){};
    REAL(SQLFreeHandle)(SQL_HANDLE_STMT, own);
    if (!SQL_SUCCEEDED(rc))
        return REAL(SQLStatistics)(stmt, nullptr, 0, nullptr, 0, table, length, unique, reserved);
    std::map<std::string, std::vector<std::string>> indexColumns;
    for (const auto& row : rows) {
        if (row[6] != std::to_string(SQL_TABLE_STAT))
            indexColumns[row[5]].push_back(UpperCase(row[8]));
    }
    static const char* const kNames[] = {
        "TABLE_CAT",   "TABLE_SCHEM", "TABLE_NAME",       "NON_UNIQUE",  "INDEX_QUALIFIER",
        "INDEX_NAME",  "TYPE",        "ORDINAL_POSITION", "COLUMN_NAME", "ASC_OR_DESC",
        "CARDINALITY", "PAGES",       "FILTER_CONDITION"};
    static const bool kNumber[] = {false, false, false, true, false, false, true,
                                   true,  false, false, true, true,  false};
    std::string sql;
    for (auto row : rows) {
        if (!key.empty() && indexColumns[row[5]] == key) row[5] = "PrimaryKey";
        sql += sql.empty() ? "SELECT " : " UNION ALL SELECT ";
        for (std::size_t c = 0; c < 13; ++c) {
            sql += (c == 0 ? "" : ", ") + Literal(row[c], kNumber[c]) + " AS " + kNames[c];
        }
    }
    if (sql.empty()) {
        sql = "SELECT ";
        for (std::size_t c = 0; c < 13; ++c)
            sql += (c == 0 ? "NULL AS " : ", NULL AS ") + std::string(kNames[c]);
        sql += " WHERE 0 = 1";
    }
    ReopenStatement(stmt);
    return REAL(SQLExecDirect)(stmt, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
}

}  // namespace

std::vector<std::vector<std::string>> ReadAll(SQLHSTMT stmt, SQLSMALLINT columns) {
    std::vector<std::vector<std::string>> rows;
    while (SQL_SUCCEEDED(REAL(SQLFetch)(stmt))) {
        std::vector<std::string> row;
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            char value[1024] = {};
            SQLLEN indicator = 0;
            REAL(SQLGetData)
            (stmt, static_cast<SQLUSMALLINT>(c), SQL_C_CHAR, value, sizeof value, &indicator);
            row.push_back(indicator == SQL_NULL_DATA ? std::string("\x01") : std::string(value));
        }
        rows.push_back(std::move(row));
    }
    REAL(SQLFreeStmt)(stmt, SQL_CLOSE);
    return rows;
}

const std::map<std::string, ColumnSize>& TableColumns(SQLHDBC dbc, const std::string& table) {
    std::lock_guard lock(State().mutex);
    auto& cached = State().columns[{dbc, UpperCase(table)}];
    if (!cached.empty()) return cached;
    SQLHSTMT own = SQL_NULL_HSTMT;
    REAL(SQLAllocHandle)(SQL_HANDLE_STMT, dbc, &own);
    std::string name = table;
    REAL(SQLColumns)
    (own, nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS, nullptr, 0);
    for (const auto& row : ReadAll(own, 7)) {
        cached[UpperCase(row[3])] = ColumnSize{static_cast<SQLSMALLINT>(std::atoi(row[4].c_str())),
                                               static_cast<SQLULEN>(std::atoll(row[6].c_str()))};
    }
    REAL(SQLFreeHandle)(SQL_HANDLE_STMT, own);
    return cached;
}

extern "C" {

// The Access driver has no SQLPrimaryKeys: the driver manager answers IM001 (SQLPrimaryKeys
// (Access driver) is missing from "ODBC API Functions" of the desktop drivers).
SQLRETURN SQL_API SQLPrimaryKeys(SQLHSTMT hstmt, SQLCHAR* szCatalogName, SQLSMALLINT cbCatalogName,
                                 SQLCHAR* szSchemaName, SQLSMALLINT cbSchemaName,
                                 SQLCHAR* szTableName, SQLSMALLINT cbTableName) {
    ForgetDiagnostics(hstmt);
    if (SwitchesOfStatement(hstmt).noPrimaryKeys) {
        return Refuse(hstmt, "IM001", 0,
                      "[unixODBC][Driver Manager]Driver does not support this function");
    }
    ReopenStatement(hstmt);
    return REAL(SQLPrimaryKeys)(hstmt, szCatalogName, cbCatalogName, szSchemaName, cbSchemaName,
                                szTableName, cbTableName);
}

SQLRETURN SQL_API SQLStatistics(SQLHSTMT StatementHandle, SQLCHAR* CatalogName,
                                SQLSMALLINT NameLength1, SQLCHAR* SchemaName,
                                SQLSMALLINT NameLength2, SQLCHAR* TableName,
                                SQLSMALLINT NameLength3, SQLUSMALLINT Unique,
                                SQLUSMALLINT Reserved) {
    ForgetDiagnostics(StatementHandle);
    if (SwitchesOfStatement(StatementHandle).statistics) {
        return StatisticsNamingThePrimaryKey(StatementHandle, TableName, NameLength3, Unique,
                                             Reserved);
    }
    ReopenStatement(StatementHandle);
    return REAL(SQLStatistics)(StatementHandle, CatalogName, NameLength1, SchemaName, NameLength2,
                               TableName, NameLength3, Unique, Reserved);
}

SQLRETURN SQL_API SQLTables(SQLHSTMT StatementHandle, SQLCHAR* CatalogName, SQLSMALLINT NameLength1,
                            SQLCHAR* SchemaName, SQLSMALLINT NameLength2, SQLCHAR* TableName,
                            SQLSMALLINT NameLength3, SQLCHAR* TableType, SQLSMALLINT NameLength4) {
    ForgetDiagnostics(StatementHandle);
    ReopenStatement(StatementHandle);
    return REAL(SQLTables)(StatementHandle, CatalogName, NameLength1, SchemaName, NameLength2,
                           TableName, NameLength3, TableType, NameLength4);
}

SQLRETURN SQL_API SQLColumns(SQLHSTMT StatementHandle, SQLCHAR* CatalogName,
                             SQLSMALLINT NameLength1, SQLCHAR* SchemaName, SQLSMALLINT NameLength2,
                             SQLCHAR* TableName, SQLSMALLINT NameLength3, SQLCHAR* ColumnName,
                             SQLSMALLINT NameLength4) {
    ForgetDiagnostics(StatementHandle);
    ReopenStatement(StatementHandle);
    return REAL(SQLColumns)(StatementHandle, CatalogName, NameLength1, SchemaName, NameLength2,
                            TableName, NameLength3, ColumnName, NameLength4);
}

}  // extern "C"
