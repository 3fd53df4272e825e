#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/sqlite/SqliteCursor.h"

// A table-type recordset: index selection, seek, add and edit on one table. A walk visits the
// rows that existed at MoveFirst once each, in index order, even when it changes their keys.
class TableCursor : public SqliteCursor {
public:
    static std::unique_ptr<TableCursor> Open(std::shared_ptr<StoreConnection> connection,
                                             DaoRowBinding row, const std::string& table);

    void SetCurrentIndex(const char* name) override;
    bool Seek(const char* comparison, const COleVariant& key) override;
    void AddNew() override;
    void Edit() override;
    void Update() override;
    void MoveFirst() override;
    void MoveNext() override;
    long long RecordCount() override;

private:
    enum class Pending { None, Adding, Editing };
    struct Index {
        std::string name;
        std::string storeName;             // the store's own index; empty for the row identity
        std::vector<std::size_t> columns;  // bound columns, in key order
        std::vector<std::string> collations;
    };

    TableCursor(std::shared_ptr<StoreConnection> connection, DaoRowBinding row, std::string table);

    void CheckColumns();
    Index FindIndex(const std::string& name);
    std::string OrderBy() const;
    bool LoadRow(int64_t rowid);
    void TakeWalkSnapshot();
    void WalkFrom(std::size_t position);
    void Write(sqlite3_stmt* stmt);
    sqlite3_stmt* InsertStatement(uint64_t mask);
    sqlite3_stmt* UpdateStatement(uint64_t mask);
    std::string ColumnList(uint64_t mask, const char* separator, const char* suffix) const;
    [[noreturn]] void DuplicateKey(const std::string& message);

    std::string m_table;
    std::string m_quotedTable;
    std::string m_rowid = "rowid";     // a name for the row identity that no column shadows
    std::vector<int> m_resultColumns;  // result columns 1..n of the fetch and seek statements
    sqlite3_stmt* m_fetch = nullptr;
    sqlite3_stmt* m_seek = nullptr;
    sqlite3_stmt* m_walkOrder = nullptr;
    Index m_index;
    bool m_hasIndex = false;
    std::vector<int64_t> m_walk;
    std::size_t m_walkPosition = 0;
    bool m_walkValid = false;
    int64_t m_currentRowid = 0;
    Pending m_pending = Pending::None;
    std::map<uint64_t, sqlite3_stmt*> m_inserts;
    std::map<uint64_t, sqlite3_stmt*> m_updates;
};
