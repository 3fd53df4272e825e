#pragma once

// A unixODBC driver for tests that behaves as the Access ODBC driver documents and as users
// report it, while the database beneath is an SQLite file: every call goes on to the SQLite ODBC
// driver, and the switches below change what the store sees. The handles are the SQLite driver's
// own; the emulation keeps what it needs to know about them beside them.
//
// Switches: the environment variable TALLOWMERE_ACCESS_EMULATION, read at each connection, is
// "all" (also when it is not set) or a comma-separated list of the names in Switches.
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// The SQLite driver's own entry point of the same name.
void* RealSymbol(const char* name);
#define REAL(name) (reinterpret_cast<decltype(&::name)>(RealSymbol(#name)))

// What each switch copies (learn.microsoft.com/sql/odbc/... pages unless a report is named):
struct Switches {
    // "quote": SQL_IDENTIFIER_QUOTE_CHAR is the back quote. (microsoft/sqlgetinfo-returned-
    // values-for-access)
    bool quote = true;
    // "dialect": no double-quoted names, LIMIT or DEFAULT VALUES in Jet SQL; refused as a
    // syntax error, 42000 with Jet's -3500. (microsoft/supported-odbc-sql-grammar,
    // microsoft/sql-statement-limitations)
    bool dialect = true;
    // "noprimarykeys": the driver has no SQLPrimaryKeys, so the driver manager answers IM001.
    // (microsoft/odbc-api-functions: SQLPrimaryKeys is not among the desktop drivers' functions)
    bool noPrimaryKeys = true;
    // "statistics": SQLStatistics reports the table's key index under the name Access gives the
    // index it makes when a table's primary key is set, "PrimaryKey" (office/client-developer/
    // access/desktop-database-reference/index-primary-property-dao; the Jet files in
    // ../shared/jet carry it so).
    bool statistics = true;
    // "cbclose": SQL_CURSOR_COMMIT_BEHAVIOR is SQL_CB_CLOSE: a commit closes every cursor of the
    // connection, and a later fetch is HY010. (microsoft/sqlgetinfo-returned-values-for-access;
    // reference/syntax/sqlgetinfo-function for what SQL_CB_CLOSE means)
    bool cbClose = true;
    // "varchar255": TEXT is SQL_VARCHAR of at most 255; a VARCHAR parameter over 255 is
    // HY104 "Invalid precision value". (microsoft/microsoft-access-data-types,
    // reference/syntax/sqlbindparameter-function)
    bool varchar255 = true;
    // "textcut": with ExtendedAnsiSQL off, as the driver ships, "the data is truncated without
    // warning". (microsoft/data-truncation-detection-enabled-using-extendedansisql)
    bool textCut = true;
    // "memolength": the first piece of a Memo read as text reports twice its length (the bytes
    // of the UTF-16 it was converted from) while holding the characters and their terminator.
    // (reports: MonetDB/MonetDB#6672 "SQLGetData with SQL_C_WCHAR string truncation and invalid
    // StrLen_or_Ind value"; php/php-src#6716)
    bool memoLength = true;
    // "errors": Jet's native error numbers and the driver's words, "[Microsoft][ODBC Microsoft
    // Access Driver] ...": -1605 duplicate key, -1305 no such table, -3010 too few parameters
    // (a missing column), -1809 read-only, -1811 no such file, -1028 not a Jet file, -1102
    // locked, -1808 disk full, -1022 disk error, -1206 damaged, -3500 syntax.
    // (microsoft/diagnostics-for-desktop-database-drivers)
    bool errors = true;
};
Switches SwitchesFromEnvironment();

struct Diagnostic {
    std::string state;
    SQLINTEGER native = 0;
    std::string text;
};

struct BoundParameter {
    SQLSMALLINT ioType = SQL_PARAM_INPUT;
    SQLSMALLINT cType = 0;
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT scale = 0;
    SQLPOINTER value = nullptr;
    SQLLEN bufferLength = 0;
    SQLLEN* indicator = nullptr;
};

struct StatementState {
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool closedByCommit = false;
    std::string table;                      // the table an INSERT or UPDATE writes
    std::vector<std::string> paramColumns;  // the column each parameter is written to ("" none)
    std::map<SQLUSMALLINT, BoundParameter> parameters;
    std::set<SQLUSMALLINT> piecesRead;  // columns of the current row read from already
};

struct ColumnSize {
    SQLSMALLINT type = 0;
    SQLULEN size = 0;
};

struct EmulationState {
    std::recursive_mutex mutex;
    std::map<SQLHDBC, Switches> connections;
    std::map<SQLHSTMT, StatementState> statements;
    std::map<SQLHANDLE, std::vector<Diagnostic>> made;  // diagnostics the emulation made up
    std::map<std::pair<SQLHDBC, std::string>, std::map<std::string, ColumnSize>> columns;
};
EmulationState& State();

void ForgetDiagnostics(SQLHANDLE handle);
// Makes up the diagnostic of a failed call and returns SQL_ERROR.
SQLRETURN Refuse(SQLHANDLE handle, const std::string& state, SQLINTEGER native,
                 const std::string& text);
Switches SwitchesOf(SQLHDBC dbc);
Switches SwitchesOfStatement(SQLHSTMT stmt);

// The words the Access driver puts before its messages.
inline constexpr const char* kAccessPrefix = "[Microsoft][ODBC Microsoft Access Driver] ";

// The SQLite driver's diagnostic as the Access driver would give it for the same fault.
Diagnostic AsAccessDiagnostic(const Diagnostic& sqlite);

std::string UpperCase(std::string text);
// A statement executed anew: its cursor is open again, its pieces not yet read.
void ReopenStatement(SQLHSTMT stmt);

// Every row of a catalogue call made on a statement of the emulation's own, columns as text.
std::vector<std::vector<std::string>> ReadAll(SQLHSTMT stmt, SQLSMALLINT columns);
// The names and sizes of a table's columns, as the SQLite driver reports them.
const std::map<std::string, ColumnSize>& TableColumns(SQLHDBC dbc, const std::string& table);
