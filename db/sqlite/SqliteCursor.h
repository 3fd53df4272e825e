#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/RecordsetCursor.h"
#include "db/sqlite/StoreConnection.h"

struct sqlite3_stmt;

// A cursor of the SQLite store: it holds the file's shared connection and its own statements.
class SqliteCursor : public RecordsetCursor {
public:
    SqliteCursor(std::shared_ptr<StoreConnection> connection, DaoRowBinding row,
                 std::string source);
    ~SqliteCursor() override;

    void Close() override;

protected:
    // A statement this cursor owns, finalised with it.
    sqlite3_stmt* Own(sqlite3_stmt* stmt);
    void FinalizeStatements();
    // Finalises an owned statement and owns its replacement instead.
    void ReplaceStatement(sqlite3_stmt* old, sqlite3_stmt* replacement);
    // Rows of a query: its one value when it is a count, else its rows, stepped through once.
    long long CountRows(const std::string& sql, bool isCount);

    std::shared_ptr<StoreConnection> m_connection;

private:
    std::vector<sqlite3_stmt*> m_statements;
};
