#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "db/DaoFieldExchange.h"
#include "db/StoreValue.h"
#include "db/odbc/OdbcCalls.h"
#include "db/odbc/OdbcConnection.h"

// One statement handle on a connection, with the parameter values it was given kept alive until
// it runs again. Failures raise engine errors naming the connection's database and the source.
class OdbcStatement {
public:
    OdbcStatement(OdbcConnection& connection, std::string source);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    SQLHSTMT Handle() const { return m_stmt; }

    void Prepare(const std::string& sql, OdbcAction action);
    // A catalogue call on one table, and every row it gives, columns 1 to n as text.
    void Catalog(OdbcCatalog catalog, const std::string& table);
    std::vector<std::vector<std::string>> Rows(SQLSMALLINT columns);
    void ExecuteDirect(const std::string& sql, OdbcAction action);

    // Parameters in order from 1; sqlType is the column's type as the driver reported it.
    void ResetParameters();
    void BindText(const std::string& text, SQLSMALLINT sqlType);
    void BindInteger(int64_t value, SQLSMALLINT sqlType);
    void BindBlob(const std::vector<unsigned char>& bytes);
    void BindDate(double days, SQLSMALLINT sqlType);

    void Execute(OdbcAction action);
    bool Fetch(OdbcAction action);
    void CloseCursor();
    [[noreturn]] void Fail(OdbcAction action) const;

    SQLSMALLINT ColumnCount() const;
    std::string ColumnName(SQLUSMALLINT column) const;
    SQLSMALLINT ColumnType(SQLUSMALLINT column) const;

    // Column c (from 1) of the current row as a member of the type wants it; the value's bytes
    // live in buffer.
    StoreValue Read(SQLUSMALLINT column, DaoColumnType type, SQLSMALLINT sqlType,
                    std::string& buffer);
    // A catalogue column as text, "" for Null.
    std::string Text(SQLUSMALLINT column);

private:
    struct Parameter {
        std::string bytes;
        SQLLEN length = 0;
        int32_t integer = 0;
        double real = 0.0;
        SQL_TIMESTAMP_STRUCT timestamp{};
    };
    Parameter& NextParameter();
    void Bind(SQLSMALLINT cType, SQLSMALLINT sqlType, SQLULEN size, SQLPOINTER value,
              SQLLEN bufferLength, Parameter& parameter);
    // Reads a long value in pieces; false for Null.
    bool ReadPieces(SQLUSMALLINT column, SQLSMALLINT cType, std::string& buffer);

    OdbcConnection& m_connection;
    std::string m_source;
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
    std::deque<Parameter> m_parameters;  // a deque keeps bound addresses stable as it grows
};

// Days since 30 December 1899 (the engine's dates) and the driver's timestamps.
double DaysFromTimestamp(const SQL_TIMESTAMP_STRUCT& timestamp);
SQL_TIMESTAMP_STRUCT TimestampFromDays(double days);
