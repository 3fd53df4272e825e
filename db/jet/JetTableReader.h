#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/jet/JetFile.h"

enum class JetValueKind { Null, Integer, Real, Text, Blob };

// One value as the snapshot stores it: text as UTF-8, dates as the stored day count.
struct JetValue {
    JetValueKind kind = JetValueKind::Null;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string bytes;  // Text (UTF-8) or Blob
};

struct JetColumn {
    std::string name;
    int type = 0;  // libmdb's MDB_* type number
    JetValueKind kind = JetValueKind::Null;
    int scale = 0;  // decimals only
};

// An index of the table, as its definition declares it.
struct JetIndex {
    std::string name;
    bool primaryKey = false;
    bool unique = false;
    std::vector<int> columns;  // positions in Columns()
};

// Reads one table of a Jet file row by row through libmdb's row layout code, with its own walk
// over the table's pages and long values, so that damage ends in an engine error instead of a
// hang, a crash or fewer rows.
class JetTableReader {
public:
    JetTableReader(JetFile& file, const JetCatalogEntry& table);
    ~JetTableReader();
    JetTableReader(const JetTableReader&) = delete;
    JetTableReader& operator=(const JetTableReader&) = delete;

    const std::vector<JetColumn>& Columns() const { return m_columns; }
    // The table's own indexes (references to other tables' keys left out); none where the
    // definition's index part cannot be read, which only changes how queries are planned.
    const std::vector<JetIndex>& Indexes() const { return m_indexes; }
    // The column of that name (without regard to case), or -1.
    int ColumnIndex(const std::string& name) const;
    // The row count the table's definition states.
    std::uint32_t DeclaredRows() const;

    // Calls sink with the values of the given columns for every row, then checks that as many
    // rows were read as the table's definition counts (3049 otherwise, naming the table).
    void ReadRows(const std::vector<int>& columns,
                  const std::function<void(const std::vector<JetValue>&)>& sink);

private:
    void ReadIndexes();
    std::vector<std::uint32_t> DataPages() const;
    void ReadPage(std::uint32_t page, const std::vector<int>& columns,
                  const std::function<void(const std::vector<JetValue>&)>& sink,
                  std::uint64_t& rows);
    JetValue Decode(int column, const unsigned char* data, std::size_t size, bool isNull) const;
    // A Memo or OLE value whole, from the 12-byte reference the row holds.
    std::string LongValue(const unsigned char* field, std::size_t size) const;
    // Where row (page << 8 | row) of a long-value chain lies.
    std::string_view LongValueRow(std::uint32_t pageRow) const;
    [[noreturn]] void Damaged(const std::string& what) const;

    JetFile& m_file;
    std::string m_name;
    std::uint32_t m_definitionPage;
    struct Definition;  // libmdb's view of the table
    std::unique_ptr<Definition> m_definition;
    std::vector<JetColumn> m_columns;
    std::vector<JetIndex> m_indexes;
};
