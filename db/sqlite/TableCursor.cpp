#include "db/sqlite/TableCursor.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "db/DaoException.h"
#include "db/sqlite/SqliteRowValues.h"
#include "db/sqlite/TableSchema.h"

namespace {

bool IsDuplicateKey(int extendedCode) {
    return extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY || extendedCode == SQLITE_CONSTRAINT_UNIQUE;
}

}  // namespace

TableCursor::TableCursor(std::shared_ptr<StoreConnection> connection, DaoRowBinding row,
                         std::string table)
    : SqliteCursor(std::move(connection), std::move(row), table),
      m_table(std::move(table)),
      m_quotedTable(QuoteIdentifier(m_table)) {}

std::unique_ptr<TableCursor> TableCursor::Open(std::shared_ptr<StoreConnection> connection,
                                               DaoRowBinding row, const std::string& table) {
    std::unique_ptr<TableCursor> cursor(
        new TableCursor(std::move(connection), std::move(row), table));
    cursor->CheckColumns();
    std::string columns;
    for (std::size_t i = 0; i < cursor->m_row.Size(); ++i) {
        columns += ", " + QuoteIdentifier(cursor->m_row.Columns()[i].column);
        cursor->m_resultColumns.push_back(static_cast<int>(i + 1));
    }
    StoreConnection& store = *cursor->m_connection;
    const std::string& rowid = cursor->m_rowid;
    cursor->m_fetch =
        cursor->Own(store.Prepare("SELECT " + rowid + columns + " FROM " + cursor->m_quotedTable +
                                      " WHERE " + rowid + " = ?1",
                                  StoreAction::Open, table));
    cursor->m_walkOrder = cursor->Own(
        store.Prepare("SELECT " + rowid + " FROM " + cursor->m_quotedTable + " ORDER BY " + rowid,
                      StoreAction::Open, table));
    cursor->MoveFirst();
    return cursor;
}

void TableCursor::CheckColumns() {
    StoreConnection& store = *m_connection;
    const auto tables = SchemaRows(
        store, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
        m_table, m_table);
    if (tables.empty()) {
        ThrowDaoException(DaoError::TableNotFound, "The database engine cannot find the table '" +
                                                       m_table + "' in '" + store.Path() + "'.");
    }
    std::vector<std::string> columns;
    for (auto& column :
         SchemaRows(store, "SELECT name FROM pragma_table_info(?1)", m_table, m_table)) {
        columns.push_back(std::move(column[0]));
    }
    for (const DaoColumnBinding& binding : m_row.Columns()) {
        const bool present = std::any_of(columns.begin(), columns.end(), [&](const auto& column) {
            return SameName(column, binding.column);
        });
        if (!present) {
            ThrowDaoException(DaoError::ItemNotFound,
                              "Item not found: the table '" + m_table + "' in '" + store.Path() +
                                  "' has no column '" + binding.column + "'.");
        }
    }
    m_rowid = RowIdentityName(columns, m_table, store.Path());
    CheckWritableTextEncoding(store, m_table);
    RefuseTriggers(store, m_table);
}

TableCursor::Index TableCursor::FindIndex(const std::string& name) {
    StoreConnection& store = *m_connection;
    const auto indexes =
        SchemaRows(store, "SELECT name, origin FROM pragma_index_list(?1)", m_table, m_table);
    std::string found;
    for (const auto& index : indexes) {
        if (SameName(index[0], name)) found = index[0];
    }
    // The table's own PRIMARY KEY is the index the desktop engine calls PrimaryKey.
    if (found.empty() && SameName(name, "PrimaryKey")) {
        for (const auto& index : indexes) {
            if (index[1] == "pk") found = index[0];
        }
    }
    std::vector<std::vector<std::string>> keys;
    if (!found.empty()) {
        keys = SchemaRows(
            store, "SELECT name, coll FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno",
            found, m_table);
    } else if (SameName(name, "PrimaryKey")) {
        // An INTEGER PRIMARY KEY is the row id itself and has no index entry of its own.
        keys = SchemaRows(
            store, "SELECT name, 'BINARY' FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk",
            m_table, m_table);
    }
    const std::string notAnIndex =
        "'" + name + "' is not an index in the table '" + m_table + "' of '" + store.Path() + "'";
    if (keys.empty()) ThrowDaoException(DaoError::NotAnIndex, notAnIndex + ".");

    Index index{name, found, {}, {}};
    for (const auto& key : keys) {
        std::size_t column = 0;
        while (column < m_row.Size() && !SameName(m_row.Columns()[column].column, key[0])) ++column;
        const char* collation = KnownCollation(key[1]);
        if (column == m_row.Size() || collation == nullptr) {
            ThrowDaoException(DaoError::NotAnIndex, notAnIndex + ": its key column '" + key[0] +
                                                        "' is not one this program reads.");
        }
        index.columns.push_back(column);
        index.collations.emplace_back(collation);
    }
    return index;
}

std::string TableCursor::OrderBy() const {
    std::string order;
    for (std::size_t i = 0; i < m_index.columns.size(); ++i) {
        order += QuoteIdentifier(m_row.Columns()[m_index.columns[i]].column) + " COLLATE " +
                 m_index.collations[i] + ", ";
    }
    return order + m_rowid;
}

void TableCursor::SetCurrentIndex(const char* name) {
    Index index = FindIndex(name != nullptr ? name : "");
    StoreConnection& store = *m_connection;
    std::string columns;
    for (const DaoColumnBinding& binding : m_row.Columns()) {
        columns += ", " + QuoteIdentifier(binding.column);
    }
    const DaoColumnBinding& key = m_row.Columns()[index.columns.front()];
    // Through the index itself, so that planner statistics stored in the file cannot turn each
    // seek into a scan. An INTEGER PRIMARY KEY is the row identity, reached directly.
    const std::string indexedBy =
        index.storeName.empty() ? std::string() : " INDEXED BY " + QuoteIdentifier(index.storeName);
    sqlite3_stmt* seek = Own(store.Prepare(
        "SELECT " + m_rowid + columns + " FROM " + m_quotedTable + indexedBy + " WHERE " +
            QuoteIdentifier(key.column) + " = ?1 COLLATE " + index.collations.front() + " LIMIT 1",
        StoreAction::Open, m_table));
    m_index = std::move(index);
    m_hasIndex = true;
    m_seek = seek;
    m_walkOrder =
        Own(store.Prepare("SELECT " + m_rowid + " FROM " + m_quotedTable + " ORDER BY " + OrderBy(),
                          StoreAction::Open, m_table));
    MoveFirst();
}

bool TableCursor::Seek(const char* comparison, const COleVariant& key) {
    if (comparison == nullptr || std::strcmp(comparison, "=") != 0) {
        NotSupported("Seek with a comparison other than \"=\"");
    }
    if (!m_hasIndex) {
        ThrowDaoException(DaoError::NoCurrentIndex,
                          "Seek on the table '" + m_table + "' needs a current index.");
    }
    m_pending = Pending::None;
    const std::string& text = key.Text();
    sqlite3_bind_text64(m_seek, 1, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    const int rc = sqlite3_step(m_seek);
    bool found = false;
    if (rc == SQLITE_ROW) {
        m_currentRowid = sqlite3_column_int64(m_seek, 0);
        try {
            LoadBoundRow(m_row, m_seek, m_resultColumns);
        } catch (...) {
            sqlite3_reset(m_seek);
            sqlite3_clear_bindings(m_seek);
            m_state = CursorState::NoCurrent;
            throw;
        }
        m_state = CursorState::OnRow;
        m_walkValid = false;
        found = true;
    }
    sqlite3_reset(m_seek);
    sqlite3_clear_bindings(m_seek);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) m_connection->Fail(rc, StoreAction::Read, m_table);
    if (!found && m_state != CursorState::Empty) m_state = CursorState::NoCurrent;
    return found;
}

bool TableCursor::LoadRow(int64_t rowid) {
    sqlite3_bind_int64(m_fetch, 1, rowid);
    const int rc = sqlite3_step(m_fetch);
    if (rc == SQLITE_ROW) {
        try {
            LoadBoundRow(m_row, m_fetch, m_resultColumns);
        } catch (...) {
            sqlite3_reset(m_fetch);
            throw;
        }
        m_currentRowid = rowid;
    }
    sqlite3_reset(m_fetch);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) m_connection->Fail(rc, StoreAction::Read, m_table);
    return rc == SQLITE_ROW;
}

void TableCursor::TakeWalkSnapshot() {
    m_walk.clear();
    int rc;
    while ((rc = sqlite3_step(m_walkOrder)) == SQLITE_ROW) {
        m_walk.push_back(sqlite3_column_int64(m_walkOrder, 0));
    }
    sqlite3_reset(m_walkOrder);
    if (rc != SQLITE_DONE) m_connection->Fail(rc, StoreAction::Read, m_table);
    m_walkValid = true;
}

void TableCursor::WalkFrom(std::size_t position) {
    // Rows another program deleted since the snapshot are passed over.
    for (m_walkPosition = position; m_walkPosition < m_walk.size(); ++m_walkPosition) {
        if (LoadRow(m_walk[m_walkPosition])) {
            m_state = CursorState::OnRow;
            return;
        }
    }
    m_state = m_walk.empty() ? CursorState::Empty : CursorState::AfterLast;
}

long long TableCursor::RecordCount() {
    return CountRows("SELECT count(*) FROM " + m_quotedTable, true);
}

void TableCursor::MoveFirst() {
    m_pending = Pending::None;
    TakeWalkSnapshot();
    WalkFrom(0);
}

void TableCursor::MoveNext() {
    if (m_state != CursorState::OnRow) NoCurrentRecord();
    m_pending = Pending::None;
    if (!m_walkValid) {
        // After a seek the walk goes on from the sought row, in index order.
        TakeWalkSnapshot();
        const auto at = std::find(m_walk.begin(), m_walk.end(), m_currentRowid);
        WalkFrom(at == m_walk.end() ? m_walk.size()
                                    : static_cast<std::size_t>(at - m_walk.begin()) + 1);
        return;
    }
    WalkFrom(m_walkPosition + 1);
}

void TableCursor::AddNew() {
    m_pending = Pending::Adding;
    m_row.StartNewRow();
}

void TableCursor::Edit() {
    if (m_state != CursorState::OnRow) NoCurrentRecord();
    m_pending = Pending::Editing;
    m_row.StartEdit();
}

std::string TableCursor::ColumnList(uint64_t mask, const char* separator,
                                    const char* suffix) const {
    std::string list;
    int parameter = 1;
    for (std::size_t i = 0; i < m_row.Size(); ++i) {
        if ((mask & (uint64_t{1} << i)) == 0) continue;
        if (!list.empty()) list += separator;
        list += QuoteIdentifier(m_row.Columns()[i].column);
        if (suffix != nullptr) list += suffix + std::to_string(parameter++);
    }
    return list;
}

sqlite3_stmt* TableCursor::InsertStatement(uint64_t mask) {
    sqlite3_stmt*& stmt = m_inserts[mask];
    if (stmt == nullptr) {
        // OR ABORT whatever conflict clause the schema declares: a clash is an error, never a
        // row silently replaced or skipped.
        std::string sql = "INSERT OR ABORT INTO " + m_quotedTable;
        if (mask == 0) {
            sql += " DEFAULT VALUES";
        } else {
            std::string values;
            for (int i = 1; i <= std::popcount(mask); ++i) {
                values += (i > 1 ? ", ?" : "?") + std::to_string(i);
            }
            sql += " (" + ColumnList(mask, ", ", nullptr) + ") VALUES (" + values + ")";
        }
        stmt = Own(m_connection->Prepare(sql, StoreAction::Write, m_table));
    }
    return stmt;
}

sqlite3_stmt* TableCursor::UpdateStatement(uint64_t mask) {
    sqlite3_stmt*& stmt = m_updates[mask];
    if (stmt == nullptr) {
        const std::string rowid = "?" + std::to_string(std::popcount(mask) + 1);
        stmt = Own(m_connection->Prepare("UPDATE OR ABORT " + m_quotedTable + " SET " +
                                             ColumnList(mask, ", ", " = ?") + " WHERE " + m_rowid +
                                             " = " + rowid,
                                         StoreAction::Write, m_table));
    }
    return stmt;
}

void TableCursor::DuplicateKey(const std::string& message) {
    const ViolatedIndex violated = FindViolatedIndex(*m_connection, m_table, message);
    std::string key;
    for (const std::string& column : violated.columns) {
        std::size_t i = 0;
        while (i < m_row.Size() && !SameName(m_row.Columns()[i].column, column)) ++i;
        if (!key.empty()) key += ", ";
        if (i == m_row.Size()) {
            key += "(" + column + ")";
        } else if (m_row.Columns()[i].type == DaoColumnType::Text) {
            key += m_row.TextValue(i);
        } else if (m_row.Columns()[i].type == DaoColumnType::Short ||
                   m_row.Columns()[i].type == DaoColumnType::Long) {
            key += std::to_string(m_row.IntegerValue(i));
        } else {
            key += "(" + column + ")";
        }
    }
    ThrowDaoException(DaoError::DuplicateKey,
                      "The changes were not saved: they would create a duplicate key '" + key +
                          "' in the index '" + violated.name + "' of the table '" + m_table +
                          "' in '" + m_connection->Path() + "'.");
}

void TableCursor::Write(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (rc == SQLITE_DONE) return;
    if (IsDuplicateKey(rc) || IsDuplicateKey(sqlite3_extended_errcode(m_connection->Handle()))) {
        const std::string message = StoreMessage(m_connection->Handle());
        m_connection->NoteFailure(rc, m_table);
        DuplicateKey(message);
    }
    m_connection->Fail(rc, StoreAction::Write, m_table);
}

void TableCursor::Update() {
    const Pending pending = m_pending;
    m_pending = Pending::None;
    if (pending == Pending::None) RecordsetCursor::Update();
    const uint64_t mask = m_row.DirtyMask();
    if (pending == Pending::Editing && mask == 0) {
        m_row.Settle();
        return;
    }
    m_connection->BeginWrite(m_table);
    if (pending == Pending::Adding) {
        sqlite3_stmt* stmt = InsertStatement(mask);
        BindRowColumns(m_row, stmt, mask, 1);
        Write(stmt);
    } else {
        sqlite3_stmt* stmt = UpdateStatement(mask);
        const int rowidParameter = BindRowColumns(m_row, stmt, mask, 1);
        sqlite3_bind_int64(stmt, rowidParameter, m_currentRowid);
        Write(stmt);
    }
    m_row.Settle();
    m_connection->EndWrite(m_table);
    if (pending == Pending::Adding) {
        // The record that was current before AddNew stays current, with its own values.
        if (m_state == CursorState::Empty) {
            m_state = CursorState::NoCurrent;
        } else if (m_state == CursorState::OnRow && !LoadRow(m_currentRowid)) {
            m_state = CursorState::NoCurrent;
        }
    }
}
