#include "db/odbc/OdbcTableCursor.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

#include "db/DaoException.h"
#include "db/odbc/OdbcText.h"

namespace {

int Number(const std::string& text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

OdbcTableCursor::OdbcTableCursor(std::shared_ptr<OdbcConnection> connection, DaoRowBinding row,
                                 std::string table)
    : RecordsetCursor(std::move(row), table),
      m_connection(std::move(connection)),
      m_table(std::move(table)),
      m_quotedTable(m_connection->Quote(m_table)) {}

OdbcTableCursor::~OdbcTableCursor() = default;

std::unique_ptr<OdbcStatement> OdbcTableCursor::Statement() {
    return std::make_unique<OdbcStatement>(*m_connection, m_table);
}

std::unique_ptr<OdbcTableCursor> OdbcTableCursor::Open(std::shared_ptr<OdbcConnection> connection,
                                                       DaoRowBinding row,
                                                       const std::string& table) {
    std::unique_ptr<OdbcTableCursor> cursor(
        new OdbcTableCursor(std::move(connection), std::move(row), table));
    cursor->ReadCatalog();
    for (std::size_t i = 0; i < cursor->m_row.Size(); ++i) {
        cursor->m_result.numbers.push_back(static_cast<SQLUSMALLINT>(i + 1));
    }
    cursor->m_result.types = cursor->m_types;
    Index primary;
    cursor->m_keyed = cursor->FindIndex("PrimaryKey", primary);
    if (cursor->m_keyed) {
        cursor->m_keyColumns = primary.columns;
        cursor->m_fetch = cursor->Statement();
        cursor->m_fetch->Prepare("SELECT " + cursor->BoundColumnList() + " FROM " +
                                     cursor->m_quotedTable + " WHERE " +
                                     cursor->KeyCondition(cursor->m_keyColumns),
                                 OdbcAction::Read);
    } else {
        // Without a key a row cannot be found again: the walk keeps whole rows.
        for (std::size_t i = 0; i < cursor->m_row.Size(); ++i) cursor->m_keyColumns.push_back(i);
    }
    cursor->PrepareWalk();
    cursor->MoveFirst();
    return cursor;
}

void OdbcTableCursor::ReadCatalog() {
    const std::string& name = m_connection->Name();
    {
        auto stmt = Statement();
        stmt->Catalog(OdbcCatalog::Tables, m_table);
        // Names in the catalogue are patterns: the rows are checked for the name itself.
        const auto tables = stmt->Rows(4);
        const bool found = std::any_of(tables.begin(), tables.end(), [&](const auto& t) {
            return SameName(t[2], m_table) && SameName(t[3], "TABLE");
        });
        if (!found) {
            // A catalogue can come back empty because the database cannot be read at all: a
            // query on the table gives the driver's own reason.
            auto probe = Statement();
            probe->Prepare("SELECT * FROM " + m_quotedTable + " WHERE 1 = 0", OdbcAction::Read);
            probe->Execute(OdbcAction::Read);
            ThrowDaoException(
                DaoError::TableNotFound,
                "The database engine cannot find the table '" + m_table + "' in '" + name + "'.");
        }
    }
    auto stmt = Statement();
    stmt->Catalog(OdbcCatalog::Columns, m_table);
    const auto columns = stmt->Rows(7);
    for (const DaoColumnBinding& binding : m_row.Columns()) {
        const auto column = std::find_if(columns.begin(), columns.end(), [&](const auto& c) {
            return SameName(c[2], m_table) && SameName(c[3], binding.column);
        });
        if (column == columns.end()) {
            ThrowDaoException(DaoError::ItemNotFound, "Item not found: the table '" + m_table +
                                                          "' in '" + name + "' has no column '" +
                                                          binding.column + "'.");
        }
        m_types.push_back(static_cast<SQLSMALLINT>(Number((*column)[4])));
        m_sizes.push_back(static_cast<std::size_t>(std::max(Number((*column)[6]), 0)));
    }
}

bool OdbcTableCursor::FindIndex(const std::string& name, Index& index) {
    // (column name, position) pairs of the index.
    std::vector<std::pair<std::string, int>> keys;
    if (SameName(name, "PrimaryKey")) {
        auto stmt = Statement();
        // Not every driver has SQLPrimaryKeys (the Access driver has not); its index is then
        // found by its name below.
        if (SQL_SUCCEEDED(CatalogText(stmt->Handle(), OdbcCatalog::PrimaryKeys, m_table))) {
            for (const auto& key : stmt->Rows(5)) keys.emplace_back(key[3], Number(key[4]));
        }
    }
    if (keys.empty()) {
        auto stmt = Statement();
        stmt->Catalog(OdbcCatalog::Statistics, m_table);
        for (const auto& key : stmt->Rows(9)) {
            if (Number(key[6]) != SQL_TABLE_STAT && SameName(key[5], name)) {
                keys.emplace_back(key[8], Number(key[7]));
            }
        }
    }
    if (keys.empty()) return false;
    std::sort(keys.begin(), keys.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    index = Index{name, {}};
    for (const auto& key : keys) {
        std::size_t column = 0;
        while (column < m_row.Size() && !SameName(m_row.Columns()[column].column, key.first)) {
            ++column;
        }
        if (column == m_row.Size()) {
            ThrowDaoException(DaoError::NotAnIndex,
                              "'" + name + "' is not an index in the table '" + m_table + "' of '" +
                                  m_connection->Name() + "': its key column '" + key.first +
                                  "' is not one this program reads.");
        }
        index.columns.push_back(column);
    }
    return true;
}

std::string OdbcTableCursor::BoundColumnList() const {
    std::string list;
    for (const DaoColumnBinding& binding : m_row.Columns()) {
        list += (list.empty() ? "" : ", ") + m_connection->Quote(binding.column);
    }
    return list;
}

std::string OdbcTableCursor::KeyCondition(const std::vector<std::size_t>& columns) const {
    std::string condition;
    for (std::size_t i : columns) {
        condition += (condition.empty() ? "" : " AND ") +
                     m_connection->Quote(m_row.Columns()[i].column) + " = ?";
    }
    return condition;
}

void OdbcTableCursor::PrepareWalk() {
    std::string keys;
    for (std::size_t i : m_keyColumns) {
        keys += (keys.empty() ? "" : ", ") + m_connection->Quote(m_row.Columns()[i].column);
    }
    std::string order;
    for (std::size_t i : m_hasIndex ? m_index.columns : m_keyColumns) {
        order += (order.empty() ? "" : ", ") + m_connection->Quote(m_row.Columns()[i].column);
    }
    m_walkOrder = Statement();
    m_walkOrder->Prepare("SELECT " + keys + " FROM " + m_quotedTable +
                             (m_keyed || m_hasIndex ? " ORDER BY " + order : std::string()),
                         OdbcAction::Read);
}

void OdbcTableCursor::SetCurrentIndex(const char* name) {
    const std::string wanted = name != nullptr ? name : "";
    Index index;
    if (!FindIndex(wanted, index)) {
        ThrowDaoException(DaoError::NotAnIndex, "'" + wanted + "' is not an index in the table '" +
                                                    m_table + "' of '" + m_connection->Name() +
                                                    "'.");
    }
    auto seek = Statement();
    seek->Prepare("SELECT " + BoundColumnList() + " FROM " + m_quotedTable + " WHERE " +
                      KeyCondition({index.columns.front()}),
                  OdbcAction::Read);
    m_index = std::move(index);
    m_hasIndex = true;
    m_seek = std::move(seek);
    PrepareWalk();
    MoveFirst();
}

bool OdbcTableCursor::Seek(const char* comparison, const COleVariant& key) {
    if (comparison == nullptr || std::strcmp(comparison, "=") != 0) {
        NotSupported("Seek with a comparison other than \"=\"");
    }
    if (!m_hasIndex) {
        ThrowDaoException(DaoError::NoCurrentIndex,
                          "Seek on the table '" + m_table + "' needs a current index.");
    }
    m_pending = Pending::None;
    const std::size_t column = m_index.columns.front();
    if (IsShortTextType(m_types[column]) && m_sizes[column] != 0 &&
        CharacterCount(key.Text()) > m_sizes[column]) {
        // Longer than the column holds: no row has it (and a driver may refuse the parameter).
        if (m_state != CursorState::Empty) m_state = CursorState::NoCurrent;
        return false;
    }
    m_seek->CloseCursor();
    m_seek->ResetParameters();
    m_seek->BindText(key.Text(), m_types[column]);
    m_seek->Execute(OdbcAction::Read);
    bool found = false;
    try {
        if (m_seek->Fetch(OdbcAction::Read)) {
            LoadBoundRow(m_row, *m_seek, m_result);
            m_currentKey = MemberValues(m_row, m_keyColumns);
            m_state = CursorState::OnRow;
            m_walkValid = false;
            found = true;
        }
    } catch (...) {
        m_seek->CloseCursor();
        m_state = CursorState::NoCurrent;
        throw;
    }
    m_seek->CloseCursor();
    if (!found && m_state != CursorState::Empty) m_state = CursorState::NoCurrent;
    return found;
}

bool OdbcTableCursor::LoadRow(const Key& key) {
    if (!m_keyed) {
        for (std::size_t i = 0; i < key.size(); ++i) m_row.LoadColumn(i, key[i].View());
        m_currentKey = key;
        return true;
    }
    m_fetch->CloseCursor();
    m_fetch->ResetParameters();
    for (std::size_t k = 0; k < key.size(); ++k) {
        BindValue(*m_fetch, key[k], m_types[m_keyColumns[k]]);
    }
    m_fetch->Execute(OdbcAction::Read);
    bool found = false;
    try {
        found = m_fetch->Fetch(OdbcAction::Read);
        if (found) LoadBoundRow(m_row, *m_fetch, m_result);
    } catch (...) {
        m_fetch->CloseCursor();
        throw;
    }
    m_fetch->CloseCursor();
    if (found) m_currentKey = key;
    return found;
}

long long OdbcTableCursor::RecordCount() {
    std::unique_ptr<OdbcStatement> count = Statement();
    count->ExecuteDirect("SELECT COUNT(*) FROM " + m_quotedTable, OdbcAction::Read);
    if (!count->Fetch(OdbcAction::Read)) return 0;
    const std::string text = count->Text(1);
    return text.empty() ? 0 : std::stoll(text);
}

void OdbcTableCursor::MoveFirst() {
    m_pending = Pending::None;
    m_walk.clear();
    m_walkOrder->CloseCursor();
    m_walkOrder->Execute(OdbcAction::Read);
    try {
        while (m_walkOrder->Fetch(OdbcAction::Read)) {
            m_walk.push_back(ReadValues(m_row, *m_walkOrder, m_keyColumns, m_types));
        }
    } catch (...) {
        m_walkOrder->CloseCursor();
        throw;
    }
    m_walkOrder->CloseCursor();
    m_walkValid = true;
    WalkFrom(0);
}

void OdbcTableCursor::WalkFrom(std::size_t position) {
    // Rows another program deleted since the keys were taken are passed over.
    for (m_walkPosition = position; m_walkPosition < m_walk.size(); ++m_walkPosition) {
        if (LoadRow(m_walk[m_walkPosition])) {
            m_state = CursorState::OnRow;
            return;
        }
    }
    m_state = m_walk.empty() ? CursorState::Empty : CursorState::AfterLast;
}

void OdbcTableCursor::MoveNext() {
    if (m_state != CursorState::OnRow) NoCurrentRecord();
    m_pending = Pending::None;
    if (!m_walkValid) {
        // After a seek the walk goes on from the sought row, in index order.
        const Key current = m_currentKey;
        MoveFirst();
        const auto at = std::find(m_walk.begin(), m_walk.end(), current);
        WalkFrom(at == m_walk.end() ? m_walk.size()
                                    : static_cast<std::size_t>(at - m_walk.begin()) + 1);
        return;
    }
    WalkFrom(m_walkPosition + 1);
}

void OdbcTableCursor::AddNew() {
    m_pending = Pending::Adding;
    m_row.StartNewRow();
}

void OdbcTableCursor::Edit() {
    if (m_state != CursorState::OnRow) NoCurrentRecord();
    if (!m_keyed) NotSupported("Edit on a table without a primary key");
    m_pending = Pending::Editing;
    m_row.StartEdit();
}
