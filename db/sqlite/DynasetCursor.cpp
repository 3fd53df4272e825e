#include "db/sqlite/DynasetCursor.h"

#include <sqlite3.h>

#include <cctype>

#include "db/DaoException.h"
#include "db/sqlite/SqliteRowValues.h"

namespace {

// The name the store's message gives after a prefix such as "no such table: ".
std::string NameAfter(const std::string& message, const std::string& prefix) {
    const auto at = message.find(prefix);
    return at == std::string::npos ? std::string() : message.substr(at + prefix.size());
}

}  // namespace

DynasetCursor::DynasetCursor(std::shared_ptr<StoreConnection> connection, DaoRowBinding row,
                             std::string source)
    : SqliteCursor(std::move(connection), std::move(row), std::move(source)) {}

std::unique_ptr<DynasetCursor> DynasetCursor::Open(std::shared_ptr<StoreConnection> connection,
                                                   DaoRowBinding row, const std::string& sql,
                                                   bool isTableName) {
    std::unique_ptr<DynasetCursor> cursor(
        new DynasetCursor(std::move(connection), std::move(row), isTableName ? sql : "query"));
    if (isTableName) {
        std::string columns;
        for (const DaoColumnBinding& binding : cursor->m_row.Columns()) {
            columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(binding.column);
        }
        cursor->Prepare("SELECT " + columns + " FROM " + QuoteIdentifier(sql));
    } else {
        cursor->Prepare(sql);
    }
    cursor->m_resultColumns = ResultColumnsFor(cursor->m_query, cursor->m_row, cursor->m_source,
                                               cursor->m_connection->Path());
    cursor->m_connection->AddReader(cursor.get());
    cursor->Step();
    cursor->m_atFirst = true;
    if (cursor->m_state == CursorState::AfterLast) cursor->m_state = CursorState::Empty;
    return cursor;
}

DynasetCursor::~DynasetCursor() {
    if (m_connection) m_connection->RemoveReader(this);
}

void DynasetCursor::Close() {
    if (m_connection) m_connection->RemoveReader(this);
    SqliteCursor::Close();
}

sqlite3_stmt* DynasetCursor::PrepareOn(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int rc =
        sqlite3_prepare_v3(db, sqlite3_sql(m_query), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    // The same query over the same rows gives them in the same order.
    for (long long row = 0; rc == SQLITE_OK && row < m_rowsStepped; ++row) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) {
        const std::string message = StoreMessage(db);
        sqlite3_finalize(stmt);
        ThrowStoreError(rc == SQLITE_DONE ? SQLITE_ERROR : rc, m_connection->Path(),
                        StoreAction::Read, m_source, message);
    }
    return stmt;
}

void DynasetCursor::MoveTo(sqlite3_stmt* stmt) {
    ReplaceStatement(m_query, stmt);
    m_query = stmt;
}

void DynasetCursor::Prepare(const std::string& sql) {
    sqlite3* db = m_connection->Handle();
    const int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &m_query, nullptr);
    if (rc == SQLITE_OK) {
        Own(m_query);
        return;
    }
    sqlite3_finalize(m_query);
    m_query = nullptr;
    const std::string message = StoreMessage(db);
    const std::string& file = m_connection->Path();
    if (const std::string table = NameAfter(message, "no such table: "); !table.empty()) {
        ThrowDaoException(DaoError::TableNotFound,
                          "The database engine cannot find the table or "
                          "query '" +
                              table + "' in '" + file + "'.");
    }
    if (std::string view = NameAfter(message, "access to view \""); !view.empty()) {
        view = view.substr(0, view.find('"'));
        ThrowDaoException(DaoError::TableNotFound, "'" + view + "' in '" + file +
                                                       "' is a view, not a table; the glossary is "
                                                       "read from its tables only.");
    }
    if (const std::string column = NameAfter(message, "no such column: "); !column.empty()) {
        ThrowDaoException(DaoError::ItemNotFound, "Item not found: the column '" + column +
                                                      "' that '" + m_source +
                                                      "' reads is missing from '" + file + "'.");
    }
    m_connection->Fail(rc, StoreAction::Read, m_source);
}

void DynasetCursor::Step() {
    const int rc = sqlite3_step(m_query);
    if (rc == SQLITE_ROW) {
        ++m_rowsStepped;
        LoadBoundRow(m_row, m_query, m_resultColumns);
        m_state = CursorState::OnRow;
    } else if (rc == SQLITE_DONE) {
        m_state = CursorState::AfterLast;
    } else {
        sqlite3_reset(m_query);
        m_rowsStepped = 0;
        m_state = CursorState::NoCurrent;
        m_connection->Fail(rc, StoreAction::Read, m_source);
    }
}

void DynasetCursor::MoveFirst() {
    if (m_atFirst && m_state == CursorState::OnRow) return;
    sqlite3_reset(m_query);
    m_rowsStepped = 0;
    Step();
    m_atFirst = true;
    if (m_state == CursorState::AfterLast) m_state = CursorState::Empty;
}

void DynasetCursor::MoveNext() {
    if (m_state != CursorState::OnRow) NoCurrentRecord();
    m_atFirst = false;
    Step();
}

long long DynasetCursor::RecordCount() {
    std::string sql = sqlite3_sql(m_query);
    while (!sql.empty() &&
           (sql.back() == ';' || std::isspace(static_cast<unsigned char>(sql.back())))) {
        sql.pop_back();
    }
    // Counting inside the store is cheapest; a query it cannot wrap (a trailing comment, say) is
    // stepped through instead.
    const std::string count = "SELECT count(*) FROM (" + sql + "\n)";
    sqlite3_stmt* probe = nullptr;
    const bool wraps =
        sqlite3_prepare_v2(m_connection->Handle(), count.c_str(), static_cast<int>(count.size()),
                           &probe, nullptr) == SQLITE_OK;
    sqlite3_finalize(probe);
    return wraps ? CountRows(count, true) : CountRows(sqlite3_sql(m_query), false);
}
