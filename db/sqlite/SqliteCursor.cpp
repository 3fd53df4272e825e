#include "db/sqlite/SqliteCursor.h"

#include <sqlite3.h>

SqliteCursor::SqliteCursor(std::shared_ptr<StoreConnection> connection, DaoRowBinding row,
                           std::string source)
    : RecordsetCursor(std::move(row), std::move(source)), m_connection(std::move(connection)) {}

SqliteCursor::~SqliteCursor() { FinalizeStatements(); }

void SqliteCursor::FinalizeStatements() {
    for (sqlite3_stmt* stmt : m_statements) sqlite3_finalize(stmt);
    m_statements.clear();
}

sqlite3_stmt* SqliteCursor::Own(sqlite3_stmt* stmt) {
    m_statements.push_back(stmt);
    return stmt;
}

void SqliteCursor::ReplaceStatement(sqlite3_stmt* old, sqlite3_stmt* replacement) {
    for (sqlite3_stmt*& stmt : m_statements) {
        if (stmt == old) {
            sqlite3_finalize(old);
            stmt = replacement;
            return;
        }
    }
    m_statements.push_back(replacement);
}

long long SqliteCursor::CountRows(const std::string& sql, bool isCount) {
    sqlite3_stmt* stmt = m_connection->Prepare(sql, StoreAction::Read, m_source);
    long long rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        rows = isCount ? sqlite3_column_int64(stmt, 0) : rows + 1;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) m_connection->Fail(rc, StoreAction::Read, m_source);
    return rows;
}

void SqliteCursor::Close() {
    FinalizeStatements();
    StoreConnection::Release(m_connection);
}
