#include "db/odbc/OdbcDynasetCursor.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "db/DaoException.h"

namespace {

bool IsNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Whether the SQL names the word (any case) as a whole name.
bool NamesWord(const std::string& sql, const std::string& word) {
    if (word.empty()) return false;
    for (std::size_t at = 0; at + word.size() <= sql.size(); ++at) {
        if (!SameName(sql.substr(at, word.size()), word)) continue;
        const bool before = at == 0 || !IsNameCharacter(sql[at - 1]);
        const bool after =
            at + word.size() == sql.size() || !IsNameCharacter(sql[at + word.size()]);
        if (before && after) return true;
    }
    return false;
}

}  // namespace

OdbcDynasetCursor::OdbcDynasetCursor(std::shared_ptr<OdbcConnection> connection, DaoRowBinding row,
                                     std::string source)
    : RecordsetCursor(std::move(row), std::move(source)), m_connection(std::move(connection)) {}

OdbcDynasetCursor::~OdbcDynasetCursor() = default;

std::unique_ptr<OdbcDynasetCursor> OdbcDynasetCursor::Open(
    std::shared_ptr<OdbcConnection> connection, DaoRowBinding row, const std::string& sql,
    bool isTableName) {
    std::unique_ptr<OdbcDynasetCursor> cursor(
        new OdbcDynasetCursor(std::move(connection), std::move(row), isTableName ? sql : "query"));
    OdbcConnection& db = *cursor->m_connection;
    cursor->m_query = std::make_unique<OdbcStatement>(db, cursor->m_source);
    if (isTableName) {
        std::string columns;
        for (const DaoColumnBinding& binding : cursor->m_row.Columns()) {
            columns += (columns.empty() ? "" : ", ") + db.Quote(binding.column);
        }
        cursor->m_sql = "SELECT " + columns + " FROM " + db.Quote(sql);
    } else {
        cursor->m_sql = sql;
    }
    try {
        cursor->m_query->Prepare(cursor->m_sql, OdbcAction::Read);
        cursor->Run();
    } catch (const CDaoException& e) {
        // Some drivers (the Access driver: "Too few parameters") do not say which column.
        if (e.m_pErrorInfo->m_lErrorCode != DaoError::ItemNotFound) throw;
        const std::string missing = cursor->MissingColumn(isTableName ? sql : std::string());
        if (missing.empty()) throw;
        cursor->NoSuchColumn(missing);
    }
    cursor->MapResultColumns();
    cursor->Step();
    cursor->m_atFirst = true;
    if (cursor->m_state == CursorState::AfterLast) cursor->m_state = CursorState::Empty;
    return cursor;
}

long long OdbcDynasetCursor::RecordCount() {
    std::string sql = m_sql;
    while (!sql.empty() &&
           (sql.back() == ';' || std::isspace(static_cast<unsigned char>(sql.back())))) {
        sql.pop_back();
    }
    // Counting inside the driver is cheapest; a query it cannot wrap is stepped through instead.
    try {
        OdbcStatement count(*m_connection, m_source);
        count.ExecuteDirect("SELECT COUNT(*) FROM (" + sql + "\n) AS counted", OdbcAction::Read);
        if (count.Fetch(OdbcAction::Read)) return std::stoll(count.Text(1));
    } catch (const CDaoException&) {
    } catch (const std::logic_error&) {  // a count that is not a number
    }
    OdbcStatement rows(*m_connection, m_source);
    rows.ExecuteDirect(m_sql, OdbcAction::Read);
    long long counted = 0;
    while (rows.Fetch(OdbcAction::Read)) ++counted;
    return counted;
}

void OdbcDynasetCursor::Run() {
    m_query->CloseCursor();
    m_query->Execute(OdbcAction::Read);
}

void OdbcDynasetCursor::MapResultColumns() {
    const SQLSMALLINT count = m_query->ColumnCount();
    for (const DaoColumnBinding& binding : m_row.Columns()) {
        SQLUSMALLINT found = 0;
        for (SQLSMALLINT c = 1; c <= count && found == 0; ++c) {
            const auto column = static_cast<SQLUSMALLINT>(c);
            if (SameName(m_query->ColumnName(column), binding.column)) found = column;
        }
        if (found == 0) NoSuchColumn(binding.column);
        m_result.numbers.push_back(found);
        m_result.types.push_back(m_query->ColumnType(found));
    }
}

void OdbcDynasetCursor::NoSuchColumn(const std::string& column) const {
    ThrowDaoException(DaoError::ItemNotFound, "Item not found: '" + m_source + "' in '" +
                                                  m_connection->Name() + "' gives no column '" +
                                                  column + "'.");
}

std::string OdbcDynasetCursor::MissingColumn(const std::string& table) const {
    try {
        // The tables the statement reads: the one named, or those whose names stand in its SQL.
        std::vector<std::string> tables{table};
        if (table.empty()) {
            tables.clear();
            OdbcStatement list(*m_connection, m_source);
            list.Catalog(OdbcCatalog::Tables, "%");
            for (const auto& row : list.Rows(3)) {
                if (NamesWord(m_sql, row[2])) tables.push_back(row[2]);
            }
        }
        std::vector<std::string> columns;
        for (const std::string& name : tables) {
            OdbcStatement list(*m_connection, m_source);
            list.Catalog(OdbcCatalog::Columns, name);
            for (const auto& row : list.Rows(4)) columns.push_back(row[3]);
        }
        if (columns.empty()) return {};
        for (const DaoColumnBinding& binding : m_row.Columns()) {
            if (std::none_of(columns.begin(), columns.end(),
                             [&](const std::string& c) { return SameName(c, binding.column); })) {
                return binding.column;
            }
        }
    } catch (const CDaoException&) {
        // The catalogue could not say either: the driver's own words stand.
    }
    return {};
}

void OdbcDynasetCursor::Step() {
    try {
        if (m_query->Fetch(OdbcAction::Read)) {
            LoadBoundRow(m_row, *m_query, m_result);
            m_state = CursorState::OnRow;
        } else {
            m_state = CursorState::AfterLast;
        }
    } catch (...) {
        m_query->CloseCursor();
        m_state = CursorState::NoCurrent;
        throw;
    }
}

void OdbcDynasetCursor::MoveFirst() {
    if (m_atFirst && m_state == CursorState::OnRow) return;
    Run();
    Step();
    m_atFirst = true;
    if (m_state == CursorState::AfterLast) m_state = CursorState::Empty;
}

void OdbcDynasetCursor::MoveNext() {
    if (m_state != CursorState::OnRow) NoCurrentRecord();
    m_atFirst = false;
    Step();
}

void OdbcDynasetCursor::Close() {
    m_query.reset();
    OdbcConnection::Release(m_connection);
}
