#include "db/jet/JetTableReader.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "db/jet/JetPages.h"
#include "db/jet/LibMdb.h"

struct JetTableReader::Definition {
    MdbCatalogEntry entry{};
    MdbTableDef* table = nullptr;

    ~Definition() {
        if (table == nullptr) return;
        LibMdbQuiet quiet;
        mdb_free_tabledef(table);
    }
};

JetTableReader::JetTableReader(JetFile& file, const JetCatalogEntry& table)
    : m_file(file),
      m_name(table.name),
      m_definitionPage(table.definitionPage),
      m_definition(std::make_unique<Definition>()) {
    const unsigned char* page = m_file.Page(m_definitionPage);
    if (m_definitionPage == 0 || page == nullptr) {
        Damaged("its definition should be on page " + std::to_string(m_definitionPage) +
                ", but the file has " + std::to_string(m_file.PageCount()) + " pages");
    }
    if (page[0] != kDefinitionPage) Damaged("the page meant to hold its definition does not");
    MdbCatalogEntry& entry = m_definition->entry;
    entry.mdb = m_file.Mdb().handle;
    entry.object_type = MDB_TABLE;
    entry.table_pg = m_definitionPage;
    std::snprintf(entry.object_name, sizeof entry.object_name, "%s", m_name.c_str());

    LibMdbQuiet quiet;
    m_definition->table = mdb_read_table(&entry);
    MdbTableDef* def = m_definition->table;
    if (def == nullptr) Damaged("its definition cannot be read");
    // After a failed column read libmdb leaves nothing to go on (its index reader would
    // dereference the missing columns), so the table ends here. Indexes are never read.
    if (mdb_read_columns(def) == nullptr || def->columns == nullptr ||
        def->columns->len != def->num_cols) {
        Damaged("its column definitions cannot be read");
    }
    // Every Jet table has a column; a definition without one is damage, not an empty table.
    if (def->num_cols == 0) Damaged("its definition has no columns");
    for (unsigned i = 0; i < def->num_cols; ++i) {
        const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(def->columns, i));
        const std::string name = col->name;
        // Jet column names are never empty and differ without regard to case.
        if (name.empty() || ColumnIndex(name) >= 0) Damaged("its column names are garbled");
        m_columns.push_back({name, col->col_type, JetKindOfType(col->col_type), col->col_scale});
    }
    ReadIndexes();
}

void JetTableReader::ReadIndexes() {
    MdbTableDef* def = m_definition->table;
    // libmdb 1.0 returns NULL from a successful read: what it read is in the table definition.
    mdb_read_indices(def);
    if (def->indices == nullptr || def->indices->len != def->num_idxs) return;
    constexpr unsigned char kPrimaryKey = 1;
    constexpr unsigned char kForeignReference = 2;
    for (unsigned i = 0; i < def->indices->len; ++i) {
        const auto* index = static_cast<const MdbIndex*>(g_ptr_array_index(def->indices, i));
        if (index->index_type == kForeignReference) continue;
        JetIndex out;
        out.name = index->name;
        out.primaryKey = index->index_type == kPrimaryKey;
        out.unique = out.primaryKey || (index->flags & MDB_IDX_UNIQUE) != 0;
        const unsigned keys = std::min<unsigned>(index->num_keys, MDB_MAX_IDX_COLS);
        for (unsigned k = 0; k < keys; ++k) {
            const int column = index->key_col_num[k] - 1;  // counted from 1
            if (column < 0 || static_cast<std::size_t>(column) >= m_columns.size()) return;
            out.columns.push_back(column);
        }
        if (out.columns.empty()) return;
        m_indexes.push_back(std::move(out));
    }
}

JetTableReader::~JetTableReader() = default;

int JetTableReader::ColumnIndex(const std::string& name) const {
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (strcasecmp(m_columns[i].name.c_str(), name.c_str()) == 0) return static_cast<int>(i);
    }
    return -1;
}

std::uint32_t JetTableReader::DeclaredRows() const { return m_definition->table->num_rows; }

void JetTableReader::Damaged(const std::string& what) const {
    m_file.Damaged("table '" + m_name + "': " + what);
}

std::vector<std::uint32_t> JetTableReader::DataPages() const {
    const MdbTableDef* def = m_definition->table;
    const unsigned char* map = def->usage_map;
    const std::size_t size = def->map_sz;
    if (map == nullptr || size < 1) Damaged("its page map is missing");
    std::vector<std::uint32_t> pages;
    const auto add = [&](std::uint64_t page) {
        if (page == 0 || page >= m_file.PageCount()) {
            Damaged("its page map names page " + std::to_string(page) + ", but the file has " +
                    std::to_string(m_file.PageCount()) + " pages");
        }
        pages.push_back(static_cast<std::uint32_t>(page));
    };
    if (map[0] == 0) {
        // The map itself: a first page number, then one bit a page.
        if (size < 5) Damaged("its page map is cut short");
        const std::uint64_t first = Le32(map + 1);
        for (std::size_t bit = 0; bit < (size - 5) * 8; ++bit) {
            if ((map[5 + bit / 8] >> (bit % 8) & 1) != 0) add(first + bit);
        }
    } else if (map[0] == 1) {
        // Pages of bitmaps, each covering as many pages as it has bits after its 4-byte head.
        const std::size_t bitsPerMap = (m_file.PageSize() - 4) * 8;
        for (std::size_t k = 0; k < (size - 1) / 4; ++k) {
            const std::uint32_t mapPage = Le32(map + 1 + 4 * k);
            if (mapPage == 0) continue;
            const unsigned char* bits = m_file.Page(mapPage);
            if (bits == nullptr) {
                Damaged("its page map continues on page " + std::to_string(mapPage) +
                        ", beyond the file's end");
            }
            for (std::size_t bit = 0; bit < bitsPerMap; ++bit) {
                if (bits[4 + bit / 8] == 0) {
                    bit += 7 - bit % 8;
                    continue;
                }
                if ((bits[4 + bit / 8] >> (bit % 8) & 1) != 0) add(k * bitsPerMap + bit);
            }
        }
    } else {
        Damaged("its page map is of an unknown kind");
    }
    return pages;
}

void JetTableReader::ReadRows(const std::vector<int>& columns,
                              const std::function<void(const std::vector<JetValue>&)>& sink) {
    for (int c : columns) {
        if (c < 0 || static_cast<std::size_t>(c) >= m_columns.size()) {
            Damaged("a column was asked for that it does not have");
        }
    }
    std::uint64_t rows = 0;
    LibMdbQuiet quiet;
    for (std::uint32_t page : DataPages()) ReadPage(page, columns, sink, rows);
    if (rows != DeclaredRows()) {
        Damaged("its definition counts " + std::to_string(DeclaredRows()) + " rows, but " +
                std::to_string(rows) + " could be read");
    }
}

void JetTableReader::ReadPage(std::uint32_t page, const std::vector<int>& columns,
                              const std::function<void(const std::vector<JetValue>&)>& sink,
                              std::uint64_t& rows) {
    MdbHandle* mdb = m_file.Mdb().handle;
    MdbTableDef* def = m_definition->table;
    const std::size_t pageSize = m_file.PageSize();
    if (mdb_read_pg(mdb, page) != static_cast<ssize_t>(pageSize)) {
        Damaged("page " + std::to_string(page) + " cannot be read");
    }
    const unsigned char* buffer = mdb->pg_buf;
    // A page the map still names may since have gone to another table: Jet leaves such bits.
    if (buffer[0] != kDataPage || Le32(buffer + 4) != m_definitionPage) return;
    const std::size_t countOffset = mdb->fmt->row_count_offset;
    const std::size_t count = Le16(buffer + countOffset);
    if (countOffset + 2 + 2 * count > pageSize) {
        Damaged("page " + std::to_string(page) + " claims " + std::to_string(count) + " rows");
    }
    std::vector<MdbField> fields(def->num_cols);
    std::vector<int> fieldOf(def->num_cols);
    std::vector<JetValue> values(columns.size());
    for (std::size_t r = 0; r < count; ++r) {
        int start = 0;
        std::size_t length = 0;
        if (mdb_find_row(mdb, static_cast<int>(r), &start, &length) != 0) {
            Damaged("row " + std::to_string(r) + " of page " + std::to_string(page) +
                    " has a broken offset");
        }
        if ((static_cast<std::uint32_t>(start) & kDeletedRow) != 0 || length == 0) continue;
        const int cracked =
            mdb_crack_row(def, static_cast<int>(start & kOffsetMask), length, fields.data());
        if (cracked < 0 || static_cast<unsigned>(cracked) > def->num_cols) {
            Damaged("row " + std::to_string(r) + " of page " + std::to_string(page) +
                    " cannot be taken apart");
        }
        std::fill(fieldOf.begin(), fieldOf.end(), -1);
        for (int f = 0; f < cracked; ++f) {
            const int colnum = fields[f].colnum;
            if (colnum >= 0 && static_cast<unsigned>(colnum) < def->num_cols) fieldOf[colnum] = f;
        }
        for (std::size_t v = 0; v < columns.size(); ++v) {
            const int f = fieldOf[columns[v]];
            if (f < 0) {
                values[v] = JetValue{};  // a column added after the row was written
                continue;
            }
            const MdbField& field = fields[f];
            if (!field.is_null &&
                (field.start < 0 || field.siz < 0 ||
                 static_cast<std::size_t>(field.start) + static_cast<std::size_t>(field.siz) >
                     pageSize)) {
                Damaged("a value in row " + std::to_string(r) + " of page " + std::to_string(page) +
                        " lies outside its page");
            }
            values[v] =
                Decode(columns[v], buffer + (field.is_null ? 0 : field.start),
                       field.is_null ? 0 : static_cast<std::size_t>(field.siz), field.is_null != 0);
        }
        sink(values);
        ++rows;
    }
}
