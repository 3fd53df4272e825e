#include "db/odbc/OdbcDynasetCursor.h"

#include <cctype>
#include <stdexcept>

#include "db/DaoException.h"

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
    cursor->m_query->Prepare(cursor->m_sql, OdbcAction::Read);
    cursor->Run();
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
        if (found == 0) {
            ThrowDaoException(DaoError::ItemNotFound,
                              "Item not found: '" + m_source + "' in '" + m_connection->Name() +
                                  "' gives no column '" + binding.column + "'.");
        }
        m_result.numbers.push_back(found);
        m_result.types.push_back(m_query->ColumnType(found));
    }
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
