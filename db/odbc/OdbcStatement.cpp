#include "db/odbc/OdbcStatement.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "db/DaoException.h"
#include "db/odbc/OdbcCalls.h"
#include "db/odbc/OdbcText.h"

namespace {

constexpr std::size_t kPiece = 16 * 1024;

// The length of a text piece the driver said is `claimed` bytes long: where its terminator
// stands when everything from there to the claimed end is zero (the driver's terminator and what
// it or the zeroed buffer left after it), so that an overstated indicator never brings in bytes
// the driver did not return; otherwise the claim (text with a zero inside it).
std::size_t TextPieceLength(const char* piece, std::size_t claimed, std::size_t terminator) {
    std::size_t end = 0;
    while (end < claimed) {
        bool zero = true;
        for (std::size_t i = 0; i < terminator; ++i) zero = zero && piece[end + i] == '\0';
        if (zero) break;
        end += terminator;
    }
    for (std::size_t i = end; i < claimed; ++i) {
        if (piece[i] != '\0') return claimed;
    }
    return std::min(end, claimed);
}

bool IsDateType(SQLSMALLINT type) {
    return type == SQL_TYPE_TIMESTAMP || type == SQL_TYPE_DATE || type == SQL_TIMESTAMP ||
           type == SQL_DATE;
}

bool IsTextType(SQLSMALLINT type) {
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_LONGVARCHAR;
}

// Text goes over as the system code page (SQL_C_CHAR); a wide column type takes it as its
// narrow counterpart.
SQLSMALLINT NarrowTextType(SQLSMALLINT type, std::size_t length) {
    switch (type) {
        case SQL_WCHAR:
            return SQL_CHAR;
        case SQL_WVARCHAR:
            return SQL_VARCHAR;
        case SQL_WLONGVARCHAR:
            return SQL_LONGVARCHAR;
        default:
            if (IsTextType(type)) return type;
            return length > 255 ? SQL_LONGVARCHAR : SQL_VARCHAR;
    }
}

// Civil date to days since 1 January 1970 (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kEpochOffset = 25569;  // 1970-01-01 is day 25569 of the engine's dates

// A number a text column holds, as the store would have handed it over; otherwise the text.
StoreValue NumberOrText(const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    int64_t integer = 0;
    if (auto [ptr, ec] = std::from_chars(begin, end, integer); ec == std::errc() && ptr == end) {
        return StoreValue::Integer(integer);
    }
    double real = 0.0;
    if (auto [ptr, ec] = std::from_chars(begin, end, real); ec == std::errc() && ptr == end) {
        return StoreValue::Real(real);
    }
    return StoreValue::Text(text);
}

}  // namespace

double DaysFromTimestamp(const SQL_TIMESTAMP_STRUCT& t) {
    const int64_t days = DaysFromCivil(t.year, t.month, t.day) + kEpochOffset;
    const double seconds = t.hour * 3600.0 + t.minute * 60.0 + t.second + t.fraction / 1e9;
    return static_cast<double>(days) + seconds / 86400.0;
}

SQL_TIMESTAMP_STRUCT TimestampFromDays(double days) {
    const double whole = std::floor(days);
    int64_t z = static_cast<int64_t>(whole) - kEpochOffset + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
    auto seconds = static_cast<long>(std::lround((days - whole) * 86400.0));
    if (seconds >= 86400) seconds = 86399;
    SQL_TIMESTAMP_STRUCT t{};
    t.year = static_cast<SQLSMALLINT>(y);
    t.month = static_cast<SQLUSMALLINT>(m);
    t.day = static_cast<SQLUSMALLINT>(d);
    t.hour = static_cast<SQLUSMALLINT>(seconds / 3600);
    t.minute = static_cast<SQLUSMALLINT>(seconds / 60 % 60);
    t.second = static_cast<SQLUSMALLINT>(seconds % 60);
    return t;
}

OdbcStatement::OdbcStatement(OdbcConnection& connection, std::string source)
    : m_connection(connection), m_source(std::move(source)) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection.Handle(), &m_stmt))) {
        connection.Fail(SQL_HANDLE_DBC, connection.Handle(), OdbcAction::Read, m_source);
    }
}

OdbcStatement::~OdbcStatement() { SQLFreeHandle(SQL_HANDLE_STMT, m_stmt); }

void OdbcStatement::Fail(OdbcAction action) const {
    m_connection.Fail(SQL_HANDLE_STMT, m_stmt, action, m_source);
}

void OdbcStatement::Prepare(const std::string& sql, OdbcAction action) {
    if (!SQL_SUCCEEDED(PrepareText(m_stmt, sql))) Fail(action);
}

void OdbcStatement::Catalog(OdbcCatalog catalog, const std::string& table) {
    if (!SQL_SUCCEEDED(CatalogText(m_stmt, catalog, table))) Fail(OdbcAction::Read);
}

std::vector<std::vector<std::string>> OdbcStatement::Rows(SQLSMALLINT columns) {
    std::vector<std::vector<std::string>> rows;
    while (Fetch(OdbcAction::Read)) {
        std::vector<std::string> row;
        for (SQLSMALLINT c = 1; c <= columns; ++c)
            row.push_back(Text(static_cast<SQLUSMALLINT>(c)));
        rows.push_back(std::move(row));
    }
    CloseCursor();
    return rows;
}

void OdbcStatement::ExecuteDirect(const std::string& sql, OdbcAction action) {
    const SQLRETURN rc = ExecDirectText(m_stmt, sql);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) Fail(action);
}

void OdbcStatement::ResetParameters() {
    SQLFreeStmt(m_stmt, SQL_RESET_PARAMS);
    m_parameters.clear();
}

OdbcStatement::Parameter& OdbcStatement::NextParameter() { return m_parameters.emplace_back(); }

void OdbcStatement::Bind(SQLSMALLINT cType, SQLSMALLINT sqlType, SQLULEN size, SQLPOINTER value,
                         SQLLEN bufferLength, Parameter& parameter) {
    const auto number = static_cast<SQLUSMALLINT>(m_parameters.size());
    if (!SQL_SUCCEEDED(SQLBindParameter(m_stmt, number, SQL_PARAM_INPUT, cType, sqlType, size, 0,
                                        value, bufferLength, &parameter.length))) {
        Fail(OdbcAction::Write);
    }
}

void OdbcStatement::BindText(const std::string& text, SQLSMALLINT sqlType) {
    Parameter& p = NextParameter();
    p.bytes = TextValueBytes(text);
    p.length = static_cast<SQLLEN>(p.bytes.size());
    // The column size of text is counted in characters, whatever the bytes that carry them: a
    // driver that checks it against its column (the Access driver, 255 for TEXT) counts so.
    const std::size_t characters = CharacterCount(text);
    Bind(TextCType(), NarrowTextType(sqlType, characters), std::max<SQLULEN>(characters, 1),
         p.bytes.data(), p.length, p);
}

void OdbcStatement::BindInteger(int64_t value, SQLSMALLINT sqlType) {
    Parameter& p = NextParameter();
    p.integer = static_cast<int32_t>(value);
    p.length = 0;
    const SQLSMALLINT type =
        sqlType == SQL_SMALLINT || sqlType == SQL_TINYINT ? sqlType : SQL_INTEGER;
    Bind(SQL_C_SLONG, type, 0, &p.integer, 0, p);
}

void OdbcStatement::BindBlob(const std::vector<unsigned char>& bytes) {
    Parameter& p = NextParameter();
    p.bytes.assign(bytes.begin(), bytes.end());
    p.length = static_cast<SQLLEN>(p.bytes.size());
    Bind(SQL_C_BINARY, SQL_LONGVARBINARY, std::max<SQLULEN>(p.bytes.size(), 1), p.bytes.data(),
         p.length, p);
}

void OdbcStatement::BindDate(double days, SQLSMALLINT sqlType) {
    Parameter& p = NextParameter();
    if (IsDateType(sqlType)) {
        p.timestamp = TimestampFromDays(days);
        p.length = sizeof p.timestamp;
        Bind(SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, &p.timestamp, 0, p);
    } else {
        p.real = days;
        p.length = 0;
        Bind(SQL_C_DOUBLE, SQL_DOUBLE, 0, &p.real, 0, p);
    }
}

void OdbcStatement::Execute(OdbcAction action) {
    const SQLRETURN rc = SQLExecute(m_stmt);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) Fail(action);
}

bool OdbcStatement::Fetch(OdbcAction action) {
    const SQLRETURN rc = SQLFetch(m_stmt);
    if (rc == SQL_NO_DATA) return false;
    if (!SQL_SUCCEEDED(rc)) Fail(action);
    return true;
}

void OdbcStatement::CloseCursor() { SQLFreeStmt(m_stmt, SQL_CLOSE); }

SQLSMALLINT OdbcStatement::ColumnCount() const {
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(m_stmt, &count))) Fail(OdbcAction::Read);
    return count;
}

std::string OdbcStatement::ColumnName(SQLUSMALLINT column) const {
    std::string name;
    if (!SQL_SUCCEEDED(ColumnNameText(m_stmt, column, name))) Fail(OdbcAction::Read);
    return name;
}

SQLSMALLINT OdbcStatement::ColumnType(SQLUSMALLINT column) const {
    SQLLEN type = 0;
    if (!SQL_SUCCEEDED(
            SQLColAttribute(m_stmt, column, SQL_DESC_CONCISE_TYPE, nullptr, 0, nullptr, &type))) {
        Fail(OdbcAction::Read);
    }
    return static_cast<SQLSMALLINT>(type);
}

bool OdbcStatement::ReadPieces(SQLUSMALLINT column, SQLSMALLINT cType, std::string& buffer) {
    buffer.clear();
    const bool text = cType == SQL_C_CHAR || cType == SQL_C_WCHAR;
    const std::size_t terminator = cType == SQL_C_CHAR ? 1 : cType == SQL_C_WCHAR ? 2 : 0;
    const std::size_t room = kPiece - terminator;  // the data a piece can hold
    std::size_t at = 0;
    for (;;) {
        // Zeroed, so that what the driver did not write can be told from what it did.
        buffer.resize(at + kPiece);
        std::memset(buffer.data() + at, 0, kPiece);
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(m_stmt, column, cType, buffer.data() + at, kPiece, &indicator);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) Fail(OdbcAction::Read);
        if (indicator == SQL_NULL_DATA) {
            buffer.clear();
            return false;
        }
        if (rc == SQL_SUCCESS_WITH_INFO &&
            (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room)) {
            at += room;  // a full piece; more follows
            continue;
        }
        // The last piece. Its length indicator is trusted only as far as the data the driver
        // returned: never past the piece, and for text never past its terminator.
        std::size_t length =
            indicator == SQL_NO_TOTAL ? room : std::min(static_cast<std::size_t>(indicator), room);
        if (text) length = TextPieceLength(buffer.data() + at, length, terminator);
        at += length;
        break;
    }
    buffer.resize(at);
    return true;
}

StoreValue OdbcStatement::Read(SQLUSMALLINT column, DaoColumnType type, SQLSMALLINT sqlType,
                               std::string& buffer) {
    switch (type) {
        case DaoColumnType::Text:
            if (!ReadPieces(column, TextCType(), buffer)) return StoreValue::Null();
            buffer = TextFromValueBytes(buffer);
            return StoreValue::Text(buffer);
        case DaoColumnType::LongBinary:
            return ReadPieces(column, SQL_C_BINARY, buffer) ? StoreValue::Blob(buffer)
                                                            : StoreValue::Null();
        case DaoColumnType::Short:
        case DaoColumnType::Long:
            // As text, so that a value that is no number is told apart from a zero.
            return ReadPieces(column, SQL_C_CHAR, buffer) ? NumberOrText(buffer)
                                                          : StoreValue::Null();
        case DaoColumnType::DateTime:
            if (IsDateType(sqlType)) {
                SQL_TIMESTAMP_STRUCT timestamp{};
                SQLLEN indicator = 0;
                if (!SQL_SUCCEEDED(SQLGetData(m_stmt, column, SQL_C_TYPE_TIMESTAMP, &timestamp,
                                              sizeof timestamp, &indicator))) {
                    Fail(OdbcAction::Read);
                }
                return indicator == SQL_NULL_DATA ? StoreValue::Null()
                                                  : StoreValue::Real(DaysFromTimestamp(timestamp));
            }
            return ReadPieces(column, SQL_C_CHAR, buffer) ? NumberOrText(buffer)
                                                          : StoreValue::Null();
    }
    return StoreValue::Null();
}

std::string OdbcStatement::Text(SQLUSMALLINT column) {
    std::string text;
    ReadPieces(column, TextCType(), text);
    return TextFromValueBytes(text);
}
