#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/RecordsetCursor.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcRowValues.h"
#include "db/odbc/OdbcStatement.h"

// A text column whose size is a limit (CHAR, VARCHAR and their wide twins; not a long text).
bool IsShortTextType(SQLSMALLINT type);

// A table-type recordset over ODBC: index selection from the driver's catalogue, seek, add and
// edit through parameterised statements. Rows are known by their primary key; a walk takes the
// keys of every row first, so it visits the rows that existed at MoveFirst once each, in index
// order, even when it changes their keys.
class OdbcTableCursor : public RecordsetCursor {
public:
    static std::unique_ptr<OdbcTableCursor> Open(std::shared_ptr<OdbcConnection> connection,
                                                 DaoRowBinding row, const std::string& table);
    ~OdbcTableCursor() override;

    void SetCurrentIndex(const char* name) override;
    bool Seek(const char* comparison, const COleVariant& key) override;
    void AddNew() override;
    void Edit() override;
    void Update() override;
    void MoveFirst() override;
    void MoveNext() override;
    long long RecordCount() override;
    void Close() override;

private:
    enum class Pending { None, Adding, Editing };
    struct Index {
        std::string name;
        std::vector<std::size_t> columns;  // bound columns, in key order
    };
    using Key = std::vector<OwnedValue>;

    OdbcTableCursor(std::shared_ptr<OdbcConnection> connection, DaoRowBinding row,
                    std::string table);

    std::unique_ptr<OdbcStatement> Statement();
    void ReadCatalog();
    bool FindIndex(const std::string& name, Index& index);
    std::string BoundColumnList() const;
    std::string KeyCondition(const std::vector<std::size_t>& columns) const;
    void PrepareWalk();
    bool LoadRow(const Key& key);
    void WalkFrom(std::size_t position);
    void CheckTextFits(uint64_t mask) const;
    void Write(OdbcStatement& stmt);
    OdbcStatement& InsertStatement(uint64_t mask);
    OdbcStatement& UpdateStatement(uint64_t mask);
    [[noreturn]] void DuplicateKey() const;

    std::shared_ptr<OdbcConnection> m_connection;
    std::string m_table;
    std::string m_quotedTable;
    std::vector<SQLSMALLINT> m_types;       // the table's type of each bound column
    std::vector<std::size_t> m_sizes;       // and its size (characters for text; 0 unknown)
    ResultColumns m_result;                 // bound column i is result column i + 1
    std::vector<std::size_t> m_keyColumns;  // the primary key; every bound column without one
    bool m_keyed = false;
    Index m_index;
    bool m_hasIndex = false;
    std::unique_ptr<OdbcStatement> m_fetch;
    std::unique_ptr<OdbcStatement> m_seek;
    std::unique_ptr<OdbcStatement> m_walkOrder;
    std::vector<Key> m_walk;
    std::size_t m_walkPosition = 0;
    bool m_walkValid = false;
    Key m_currentKey;
    Pending m_pending = Pending::None;
    std::map<uint64_t, std::unique_ptr<OdbcStatement>> m_inserts;
    std::map<uint64_t, std::unique_ptr<OdbcStatement>> m_updates;
};
