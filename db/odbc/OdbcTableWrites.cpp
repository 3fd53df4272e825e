// The writing half of the ODBC table cursor: parameterised INSERT and UPDATE of the assigned or
// changed columns, inside the connection's write groups.
#include <bit>

#include "db/DaoException.h"
#include "db/odbc/OdbcTableCursor.h"
#include "db/odbc/OdbcText.h"

namespace {

bool InMask(uint64_t mask, std::size_t column) { return (mask & (uint64_t{1} << column)) != 0; }

std::string Count(std::size_t number) { return std::to_string(number); }

}  // namespace

bool IsShortTextType(SQLSMALLINT type) {
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_WCHAR || type == SQL_WVARCHAR;
}

namespace {}  // namespace

OdbcStatement& OdbcTableCursor::InsertStatement(uint64_t mask) {
    std::unique_ptr<OdbcStatement>& stmt = m_inserts[mask];
    if (!stmt) {
        std::string columns, values;
        for (std::size_t i = 0; i < m_row.Size(); ++i) {
            if (!InMask(mask, i)) continue;
            columns +=
                (columns.empty() ? "" : ", ") + m_connection->Quote(m_row.Columns()[i].column);
            values += values.empty() ? "?" : ", ?";
        }
        stmt = Statement();
        stmt->Prepare(
            "INSERT INTO " + m_quotedTable +
                (mask == 0 ? " DEFAULT VALUES" : " (" + columns + ") VALUES (" + values + ")"),
            OdbcAction::Write);
    }
    return *stmt;
}

OdbcStatement& OdbcTableCursor::UpdateStatement(uint64_t mask) {
    std::unique_ptr<OdbcStatement>& stmt = m_updates[mask];
    if (!stmt) {
        std::string assignments;
        for (std::size_t i = 0; i < m_row.Size(); ++i) {
            if (!InMask(mask, i)) continue;
            assignments += (assignments.empty() ? "" : ", ") +
                           m_connection->Quote(m_row.Columns()[i].column) + " = ?";
        }
        stmt = Statement();
        stmt->Prepare("UPDATE " + m_quotedTable + " SET " + assignments + " WHERE " +
                          KeyCondition(m_keyColumns),
                      OdbcAction::Write);
    }
    return *stmt;
}

void OdbcTableCursor::DuplicateKey() const {
    const std::size_t column = m_hasIndex ? m_index.columns.front() : m_keyColumns.front();
    const std::string key = m_row.Columns()[column].type == DaoColumnType::Text
                                ? m_row.TextValue(column)
                                : std::string("(unknown)");
    ThrowDaoException(DaoError::DuplicateKey,
                      "The changes were not saved: they would create a duplicate key '" + key +
                          "' in the index '" +
                          (m_hasIndex ? m_index.name : std::string("PrimaryKey")) +
                          "' of the table '" + m_table + "' in '" + m_connection->Name() + "'.");
}

// A text longer than its column holds is refused before anything is written, never cut: some
// drivers (the Access driver as it ships) cut it without a word.
void OdbcTableCursor::CheckTextFits(uint64_t mask) const {
    for (std::size_t i = 0; i < m_row.Size(); ++i) {
        if (!InMask(mask, i) || m_row.Columns()[i].type != DaoColumnType::Text) continue;
        if (!IsShortTextType(m_types[i]) || m_sizes[i] == 0) continue;
        const std::size_t characters = CharacterCount(m_row.TextValue(i));
        if (characters <= m_sizes[i]) continue;
        ThrowDaoException(DaoError::FieldTooSmall,
                          "The field is too small to accept the amount of data you attempted to "
                          "add. Try inserting or pasting less data. The column '" +
                              m_row.Columns()[i].column + "' of the table '" + m_table + "' in '" +
                              m_connection->Name() + "' holds " + Count(m_sizes[i]) +
                              " characters; the value has " + Count(characters) + ".");
    }
}

void OdbcTableCursor::Write(OdbcStatement& stmt) {
    const SQLRETURN rc = SQLExecute(stmt.Handle());
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    const std::vector<OdbcDiagnostic> diagnostics = OdbcDiagnostics(SQL_HANDLE_STMT, stmt.Handle());
    for (const OdbcDiagnostic& d : diagnostics) {
        if (d.state.rfind("01", 0) == 0) continue;
        if (EngineErrorNumber(d, OdbcAction::Write) == DaoError::DuplicateKey) DuplicateKey();
        break;
    }
    ThrowOdbcError(diagnostics, m_connection->Name(), OdbcAction::Write, m_table);
}

void OdbcTableCursor::Update() {
    const Pending pending = m_pending;
    m_pending = Pending::None;
    if (pending == Pending::None) RecordsetCursor::Update();
    const uint64_t mask = m_row.DirtyMask();
    if (pending == Pending::Editing && mask == 0) {
        m_row.Settle();
        return;
    }
    CheckTextFits(mask);
    m_connection->BeginWrite();
    if (pending == Pending::Adding) {
        OdbcStatement& stmt = InsertStatement(mask);
        stmt.ResetParameters();
        BindRowColumns(m_row, stmt, mask, m_types);
        Write(stmt);
    } else {
        OdbcStatement& stmt = UpdateStatement(mask);
        stmt.ResetParameters();
        BindRowColumns(m_row, stmt, mask, m_types);
        for (std::size_t k = 0; k < m_currentKey.size(); ++k) {
            BindValue(stmt, m_currentKey[k], m_types[m_keyColumns[k]]);
        }
        Write(stmt);
        // The row is known by its new key from now on.
        m_currentKey = MemberValues(m_row, m_keyColumns);
    }
    m_row.Settle();
    m_connection->EndWrite(m_table);
    if (pending == Pending::Adding) {
        // The record that was current before AddNew stays current, with its own values.
        if (m_state == CursorState::Empty) {
            m_state = CursorState::NoCurrent;
        } else if (m_state == CursorState::OnRow && !LoadRow(m_currentKey)) {
            m_state = CursorState::NoCurrent;
        }
    }
}

void OdbcTableCursor::Close() {
    m_inserts.clear();
    m_updates.clear();
    m_fetch.reset();
    m_seek.reset();
    m_walkOrder.reset();
    OdbcConnection::Release(m_connection);
}
