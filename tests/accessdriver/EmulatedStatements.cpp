// Statements as the Access driver runs them: its SQL dialect, its commit behaviour, its
// parameters and its long-data reads.
#include <cctype>
#include <cstring>

#include "tests/accessdriver/EmulatedDriver.h"

namespace {

std::string Text(SQLCHAR* text, SQLINTEGER length) {
    if (text == nullptr) return {};
    const char* chars = reinterpret_cast<const char*>(text);
    return length == SQL_NTS ? std::string(chars)
                             : std::string(chars, static_cast<std::size_t>(length));
}

// The statement's words outside string literals and quoted names, upper case, and whether a
// name is quoted with '"'.
std::string Words(const std::string& sql, bool& doubleQuoted) {
    std::string words;
    doubleQuoted = false;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = sql.find(close, i + 1);
            i = end == std::string::npos ? sql.size() : end;
            words += ' ';
        } else if (c == '"') {
            doubleQuoted = true;
        } else {
            words += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return " " + words + " ";
}

bool HasWord(const std::string& words, const char* word) {
    const std::size_t length = std::strlen(word);
    for (std::size_t at = words.find(word); at != std::string::npos;
         at = words.find(word, at + 1)) {
        const bool before = !std::isalnum(static_cast<unsigned char>(words[at - 1]));
        const bool after = at + length >= words.size() ||
                           !std::isalnum(static_cast<unsigned char>(words[at + length]));
        if (before && after) return true;
    }
    return false;
}

// Jet SQL has no double-quoted names, no LIMIT and no DEFAULT VALUES: "Supported ODBC SQL
// Grammar" and "SQL Statement Limitations" of the desktop drivers
// (https://learn.microsoft.com/sql/odbc/microsoft/odbc-desktop-database-drivers).
SQLRETURN CheckDialect(SQLHSTMT stmt, const std::string& sql) {
    if (!SwitchesOfStatement(stmt).dialect) return SQL_SUCCESS;
    bool doubleQuoted = false;
    const std::string words = Words(sql, doubleQuoted);
    const bool defaultValues = words.find(" DEFAULT VALUES") != std::string::npos;
    if (!doubleQuoted && !HasWord(words, "LIMIT") && !defaultValues) return SQL_SUCCESS;
    return Refuse(stmt, "42000", -3500,
                  std::string(kAccessPrefix) + "Syntax error in query. Incomplete query clause.");
}

// The next name or word of a statement, its quotes removed; "" at the end.
std::string NextToken(const std::string& sql, std::size_t& at) {
    while (at < sql.size() && std::isspace(static_cast<unsigned char>(sql[at]))) ++at;
    if (at >= sql.size()) return {};
    const char c = sql[at];
    if (c == '`' || c == '"' || c == '[') {
        const char close = c == '[' ? ']' : c;
        const std::size_t end = sql.find(close, at + 1);
        std::string name = sql.substr(at + 1, end - at - 1);
        at = end == std::string::npos ? sql.size() : end + 1;
        return name;
    }
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
        ++at;
        return std::string(1, c);
    }
    const std::size_t start = at;
    while (at < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[at])) || sql[at] == '_'))
        ++at;
    return sql.substr(start, at - start);
}

// The table an INSERT or UPDATE writes and the column each of its parameters goes to.
void ReadWriteTarget(const std::string& sql, StatementState& st) {
    st.table.clear();
    st.paramColumns.clear();
    std::size_t at = 0;
    const std::string verb = UpperCase(NextToken(sql, at));
    if (verb == "INSERT") {
        NextToken(sql, at);  // INTO
        st.table = NextToken(sql, at);
        if (NextToken(sql, at) != "(") return;
        for (std::string t = NextToken(sql, at); !t.empty() && t != ")"; t = NextToken(sql, at)) {
            if (t != ",") st.paramColumns.push_back(t);
        }
    } else if (verb == "UPDATE") {
        st.table = NextToken(sql, at);
        NextToken(sql, at);  // SET
        std::string column;
        for (std::string t = NextToken(sql, at); !t.empty(); t = NextToken(sql, at)) {
            if (UpperCase(t) == "WHERE") column = "\x01";
            if (t == "?") st.paramColumns.push_back(column == "\x01" ? std::string() : column);
            if (t != "=" && t != "?" && t != "," && column != "\x01") column = t;
        }
    }
}

std::size_t Utf8Characters(const char* bytes, std::size_t length) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < length; ++i)
        count += (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80;
    return count;
}

// The bytes of the first `characters` characters.
std::size_t Utf8Prefix(const char* bytes, std::size_t length, std::size_t characters) {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < length; ++i) {
        if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80 && seen++ == characters) break;
    }
    return i;
}

bool IsShortText(SQLSMALLINT type) {
    return type == SQL_VARCHAR || type == SQL_CHAR || type == SQL_WVARCHAR || type == SQL_WCHAR;
}

SQLRETURN SequenceError(SQLHSTMT stmt) {
    return Refuse(stmt, "HY010", 0, "[unixODBC][Driver Manager]Function sequence error");
}

bool ClosedByCommit(SQLHSTMT stmt) {
    std::lock_guard lock(State().mutex);
    const auto found = State().statements.find(stmt);
    return found != State().statements.end() && found->second.closedByCommit;
}

// ExtendedAnsiSQL off, as the driver ships: "the data is truncated without warning" (Data
// Truncation Detection Enabled Using ExtendedAnsiSQL,
// https://learn.microsoft.com/sql/odbc/microsoft/data-truncation-detection-enabled-using-extendedansisql).
SQLRETURN ExecuteCuttingText(SQLHSTMT stmt) {
    std::vector<std::pair<SQLUSMALLINT, BoundParameter>> replaced;
    std::vector<std::string> copies;
    std::vector<SQLLEN> lengths;
    {
        std::lock_guard lock(State().mutex);
        StatementState& st = State().statements[stmt];
        if (!SwitchesOf(st.dbc).textCut || st.table.empty()) return REAL(SQLExecute)(stmt);
        const auto& columns = TableColumns(st.dbc, st.table);
        copies.reserve(st.parameters.size());
        lengths.reserve(st.parameters.size());
        for (const auto& [number, p] : st.parameters) {
            if (number > st.paramColumns.size() || p.indicator == nullptr) continue;
            const auto column = columns.find(UpperCase(st.paramColumns[number - 1]));
            if (column == columns.end() || !IsShortText(column->second.type)) continue;
            if ((p.cType != SQL_C_CHAR && p.cType != SQL_C_WCHAR) || *p.indicator < 0) continue;
            const auto* bytes = static_cast<const char*>(p.value);
            const auto length = static_cast<std::size_t>(*p.indicator);
            const std::size_t size = column->second.size;
            if (p.cType == SQL_C_WCHAR) {
                if (length / sizeof(SQLWCHAR) <= size) continue;
                copies.emplace_back(bytes, size * sizeof(SQLWCHAR));
            } else {
                if (Utf8Characters(bytes, length) <= size) continue;
                copies.emplace_back(bytes, Utf8Prefix(bytes, length, size));
            }
            lengths.push_back(static_cast<SQLLEN>(copies.back().size()));
            REAL(SQLBindParameter)
            (stmt, number, p.ioType, p.cType, p.sqlType, p.size, p.scale, copies.back().data(),
             lengths.back(), &lengths.back());
            replaced.emplace_back(number, p);
        }
    }
    const SQLRETURN rc = REAL(SQLExecute)(stmt);
    for (const auto& [number, p] : replaced) {
        REAL(SQLBindParameter)
        (stmt, number, p.ioType, p.cType, p.sqlType, p.size, p.scale, p.value, p.bufferLength,
         p.indicator);
    }
    return rc;
}

}  // namespace

std::string UpperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void ReopenStatement(SQLHSTMT stmt) {
    std::lock_guard lock(State().mutex);
    auto& st = State().statements[stmt];
    st.closedByCommit = false;
    st.piecesRead.clear();
}

extern "C" {

SQLRETURN SQL_API SQLPrepare(SQLHSTMT StatementHandle, SQLCHAR* StatementText,
                             SQLINTEGER TextLength) {
    ForgetDiagnostics(StatementHandle);
    const std::string sql = Text(StatementText, TextLength);
    if (CheckDialect(StatementHandle, sql) != SQL_SUCCESS) return SQL_ERROR;
    {
        std::lock_guard lock(State().mutex);
        ReadWriteTarget(sql, State().statements[StatementHandle]);
    }
    return REAL(SQLPrepare)(StatementHandle, StatementText, TextLength);
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT StatementHandle, SQLCHAR* StatementText,
                                SQLINTEGER TextLength) {
    ForgetDiagnostics(StatementHandle);
    if (CheckDialect(StatementHandle, Text(StatementText, TextLength)) != SQL_SUCCESS)
        return SQL_ERROR;
    ReopenStatement(StatementHandle);
    {
        std::lock_guard lock(State().mutex);
        State().statements[StatementHandle].table.clear();
    }
    return REAL(SQLExecDirect)(StatementHandle, StatementText, TextLength);
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT StatementHandle) {
    ForgetDiagnostics(StatementHandle);
    ReopenStatement(StatementHandle);
    return ExecuteCuttingText(StatementHandle);
}

// A commit closes the cursors of every statement of the connection (SQL_CB_CLOSE): a fetch
// from one afterwards is a function sequence error until it is executed again.
SQLRETURN SQL_API SQLEndTran(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT CompletionType) {
    ForgetDiagnostics(Handle);
    const SQLRETURN rc = REAL(SQLEndTran)(HandleType, Handle, CompletionType);
    std::lock_guard lock(State().mutex);
    for (auto& [stmt, st] : State().statements) {
        if ((HandleType == SQL_HANDLE_DBC && st.dbc != Handle) || !SwitchesOf(st.dbc).cbClose)
            continue;
        REAL(SQLFreeStmt)(stmt, SQL_CLOSE);
        st.closedByCommit = true;
    }
    return rc;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT StatementHandle) {
    ForgetDiagnostics(StatementHandle);
    if (ClosedByCommit(StatementHandle)) return SequenceError(StatementHandle);
    {
        std::lock_guard lock(State().mutex);
        State().statements[StatementHandle].piecesRead.clear();
    }
    return REAL(SQLFetch)(StatementHandle);
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT StatementHandle, SQLSMALLINT FetchOrientation,
                                 SQLLEN FetchOffset) {
    ForgetDiagnostics(StatementHandle);
    if (ClosedByCommit(StatementHandle)) return SequenceError(StatementHandle);
    {
        std::lock_guard lock(State().mutex);
        State().statements[StatementHandle].piecesRead.clear();
    }
    return REAL(SQLFetchScroll)(StatementHandle, FetchOrientation, FetchOffset);
}

// The first piece of a Memo read as text reports the length of the text the driver converted
// from, twice the characters, while the piece holds the characters and their terminator: the
// kind of fault reported of drivers that convert long text (MonetDB/MonetDB#6672, "SQLGetData
// with SQL_C_WCHAR string truncation and invalid StrLen_or_Ind value"; php/php-src#6716).
SQLRETURN SQL_API SQLGetData(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                             SQLSMALLINT TargetType, SQLPOINTER TargetValue, SQLLEN BufferLength,
                             SQLLEN* StrLen_or_Ind) {
    ForgetDiagnostics(StatementHandle);
    if (ClosedByCommit(StatementHandle)) return SequenceError(StatementHandle);
    const SQLRETURN rc = REAL(SQLGetData)(StatementHandle, ColumnNumber, TargetType, TargetValue,
                                          BufferLength, StrLen_or_Ind);
    if (!SQL_SUCCEEDED(rc) || StrLen_or_Ind == nullptr || *StrLen_or_Ind <= 0) return rc;
    if (TargetType != SQL_C_CHAR && TargetType != SQL_C_WCHAR) return rc;
    if (!SwitchesOfStatement(StatementHandle).memoLength) return rc;
    std::lock_guard lock(State().mutex);
    if (!State().statements[StatementHandle].piecesRead.insert(ColumnNumber).second) return rc;
    // A Memo: declared so, or longer than any TEXT holds (the SQLite driver calls the columns of
    // a query SQL_CHAR whatever they hold).
    SQLLEN type = 0;
    REAL(SQLColAttribute)
    (StatementHandle, ColumnNumber, SQL_DESC_CONCISE_TYPE, nullptr, 0, nullptr, &type);
    const SQLLEN characters = TargetType == SQL_C_WCHAR ? *StrLen_or_Ind / 2 : *StrLen_or_Ind;
    if (type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || characters > 255)
        *StrLen_or_Ind *= 2;
    return rc;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT StatementHandle, SQLUSMALLINT Option) {
    ForgetDiagnostics(StatementHandle);
    {
        std::lock_guard lock(State().mutex);
        auto& st = State().statements[StatementHandle];
        if (Option == SQL_CLOSE) st.closedByCommit = false;
        if (Option == SQL_RESET_PARAMS) st.parameters.clear();
    }
    return REAL(SQLFreeStmt)(StatementHandle, Option);
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT StatementHandle) {
    ForgetDiagnostics(StatementHandle);
    ReopenStatement(StatementHandle);
    return REAL(SQLCloseCursor)(StatementHandle);
}

// Microsoft Access Data Types
// (https://learn.microsoft.com/sql/odbc/microsoft/microsoft-access-data-types): TEXT is SQL_VARCHAR
// of at most 255 characters; a parameter said to be longer is refused as SQLBindParameter documents
// it, "HY104 Invalid precision or scale value"
// (https://learn.microsoft.com/sql/odbc/reference/syntax/sqlbindparameter-function).
SQLRETURN SQL_API SQLBindParameter(SQLHSTMT hstmt, SQLUSMALLINT ipar, SQLSMALLINT fParamType,
                                   SQLSMALLINT fCType, SQLSMALLINT fSqlType, SQLULEN cbColDef,
                                   SQLSMALLINT ibScale, SQLPOINTER rgbValue, SQLLEN cbValueMax,
                                   SQLLEN* pcbValue) {
    ForgetDiagnostics(hstmt);
    if (SwitchesOfStatement(hstmt).varchar255 && IsShortText(fSqlType) && cbColDef > 255) {
        return Refuse(hstmt, "HY104", 0, std::string(kAccessPrefix) + "Invalid precision value");
    }
    const SQLRETURN rc = REAL(SQLBindParameter)(hstmt, ipar, fParamType, fCType, fSqlType, cbColDef,
                                                ibScale, rgbValue, cbValueMax, pcbValue);
    if (SQL_SUCCEEDED(rc)) {
        std::lock_guard lock(State().mutex);
        State().statements[hstmt].parameters[ipar] = BoundParameter{
            fParamType, fCType, fSqlType, cbColDef, ibScale, rgbValue, cbValueMax, pcbValue};
    }
    return rc;
}

}  // extern "C"
