#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/sqlite/SqliteCursor.h"

// A dynaset: the rows of a query (or of a whole table), walked forward and read only.
class DynasetCursor : public SqliteCursor, private ConnectionReader {
public:
    ~DynasetCursor() override;

    // sql is either a table name, whose bound columns are read, or a query to run as written.
    static std::unique_ptr<DynasetCursor> Open(std::shared_ptr<StoreConnection> connection,
                                               DaoRowBinding row, const std::string& sql,
                                               bool isTableName);

    void MoveFirst() override;
    void MoveNext() override;
    void Close() override;
    long long RecordCount() override;

private:
    DynasetCursor(std::shared_ptr<StoreConnection> connection, DaoRowBinding row,
                  std::string source);

    void Prepare(const std::string& sql);
    void Step();
    sqlite3_stmt* PrepareOn(sqlite3* db) override;
    void MoveTo(sqlite3_stmt* stmt) override;

    sqlite3_stmt* m_query = nullptr;
    std::vector<int> m_resultColumns;
    bool m_atFirst = false;
    long long m_rowsStepped = 0;  // rows the query has given since it was last reset
};
