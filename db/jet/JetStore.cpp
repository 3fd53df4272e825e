// The Jet store: Jet 3 and Jet 4 files are read, never written. A dynaset runs its SQL as written
// on an in-memory snapshot of the tables it names; a table-type recordset, which a destination
// needs, is refused before anything is opened for writing.
#include <sqlite3.h>

#include <cctype>
#include <map>
#include <memory>
#include <mutex>

#include "db/DaoException.h"
#include "db/Store.h"
#include "db/jet/JetSnapshot.h"
#include "db/sqlite/SqliteRowValues.h"

namespace {

// One snapshot a file, shared by the recordsets open on it (the source's two dynasets read
// tblPhraseItem once) and let go with the last of them.
std::shared_ptr<JetSnapshot> SnapshotFor(const StoreFile& file) {
    static std::mutex mutex;
    static std::map<StoreFileKey, std::weak_ptr<JetSnapshot>> open;
    const std::lock_guard<std::mutex> lock(mutex);
    if (auto found = open.find(file.key); found != open.end()) {
        if (auto existing = found->second.lock()) return existing;
    }
    std::shared_ptr<JetSnapshot> snapshot = JetSnapshot::Open(file.path);
    open[file.key] = snapshot;
    return snapshot;
}

std::string NameAfter(const std::string& message, const std::string& prefix) {
    const auto at = message.find(prefix);
    return at == std::string::npos ? std::string() : message.substr(at + prefix.size());
}

// A dynaset over the snapshot: the rows of its query, walked forward and read only.
class JetDynasetCursor : public RecordsetCursor {
public:
    JetDynasetCursor(std::shared_ptr<JetSnapshot> snapshot, DaoRowBinding row,
                     const std::string& sql, bool isTableName)
        : RecordsetCursor(std::move(row), isTableName ? sql : "query"),
          m_snapshot(std::move(snapshot)) {
        std::string query = sql;
        if (isTableName) {
            m_snapshot->LoadTable(sql);
            std::string columns;
            for (const DaoColumnBinding& binding : m_row.Columns()) {
                columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(binding.column);
            }
            query = "SELECT " + columns + " FROM " + QuoteIdentifier(sql);
        } else {
            m_snapshot->LoadTablesFor(sql);
        }
        Prepare(query);
        m_resultColumns = ResultColumnsFor(m_query, m_row, m_source, m_snapshot->Path());
        Step();
        m_atFirst = true;
        if (m_state == CursorState::AfterLast) m_state = CursorState::Empty;
    }

    ~JetDynasetCursor() override { sqlite3_finalize(m_query); }

    void MoveFirst() override {
        if (m_atFirst && m_state == CursorState::OnRow) return;
        sqlite3_reset(m_query);
        Step();
        m_atFirst = true;
        if (m_state == CursorState::AfterLast) m_state = CursorState::Empty;
    }

    void MoveNext() override {
        if (m_state != CursorState::OnRow) NoCurrentRecord();
        m_atFirst = false;
        Step();
    }

    // Rows of the query on the snapshot: counted there, or stepped through where the count
    // cannot wrap it.
    long long RecordCount() override {
        std::string sql = sqlite3_sql(m_query);
        while (!sql.empty() &&
               (sql.back() == ';' || std::isspace(static_cast<unsigned char>(sql.back())))) {
            sql.pop_back();
        }
        sqlite3* db = m_snapshot->Handle();
        const std::string count = "SELECT count(*) FROM (" + sql + "\n)";
        sqlite3_stmt* stmt = nullptr;
        const bool wraps = sqlite3_prepare_v2(db, count.c_str(), static_cast<int>(count.size()),
                                              &stmt, nullptr) == SQLITE_OK;
        if (!wraps) {
            sqlite3_finalize(stmt);
            sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
        }
        long long rows = 0;
        while (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW) {
            rows = wraps ? sqlite3_column_int64(stmt, 0) : rows + 1;
        }
        sqlite3_finalize(stmt);
        return rows;
    }

    void Close() override {
        sqlite3_finalize(m_query);
        m_query = nullptr;
        m_snapshot.reset();
    }

private:
    void Prepare(const std::string& sql) {
        sqlite3* db = m_snapshot->Handle();
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &m_query, nullptr) ==
            SQLITE_OK) {
            return;
        }
        const std::string message = sqlite3_errmsg(db);
        sqlite3_finalize(m_query);
        m_query = nullptr;
        const std::string& file = m_snapshot->Path();
        if (const std::string column = NameAfter(message, "no such column: "); !column.empty()) {
            ThrowDaoException(DaoError::ItemNotFound,
                              "Item not found: the column '" + column + "' that '" + m_source +
                                  "' reads is missing from '" + file + "'.");
        }
        if (const std::string table = NameAfter(message, "no such table: "); !table.empty()) {
            ThrowDaoException(DaoError::TableNotFound,
                              "The database engine cannot find the table or query '" + table +
                                  "' in '" + file + "'.");
        }
        ThrowDaoException(DaoError::ReservedError, "The database engine cannot run the query of '" +
                                                       m_source + "' on '" + file +
                                                       "': " + message + ".");
    }

    void Step() {
        const int rc = sqlite3_step(m_query);
        if (rc == SQLITE_ROW) {
            LoadBoundRow(m_row, m_query, m_resultColumns);
            m_state = CursorState::OnRow;
        } else if (rc == SQLITE_DONE) {
            m_state = CursorState::AfterLast;
        } else {
            sqlite3_reset(m_query);
            m_state = CursorState::NoCurrent;
            if (rc == SQLITE_NOMEM) throw CMemoryException();
            ThrowDaoException(DaoError::ReservedError,
                              "The database engine failed reading '" + m_source + "' of '" +
                                  m_snapshot->Path() +
                                  "': " + sqlite3_errmsg(m_snapshot->Handle()) + ".");
        }
    }

    std::shared_ptr<JetSnapshot> m_snapshot;
    sqlite3_stmt* m_query = nullptr;
    std::vector<int> m_resultColumns;
    bool m_atFirst = false;
};

class JetFileStore : public Store {
public:
    std::unique_ptr<RecordsetCursor> OpenTable(const StoreFile& file, DaoRowBinding,
                                               const std::string& table) override {
        ThrowDaoException(
            DaoError::ReadOnly,
            "Cannot update. '" + file.path +
                "' is a Jet database, which this build reads but does not write, so the table '" +
                table +
                "' cannot be changed in it; the file is left as it was. Convert into an SQLite "
                "destination made from res/destination-schema.sql instead, or run the "
                "conversion on Windows, which writes Jet files through the Access driver.");
    }

    std::unique_ptr<RecordsetCursor> OpenDynaset(const StoreFile& file, DaoRowBinding row,
                                                 const std::string& source,
                                                 bool isTableName) override {
        return std::make_unique<JetDynasetCursor>(SnapshotFor(file), std::move(row), source,
                                                  isTableName);
    }
};

}  // namespace

Store& JetStore() {
    static JetFileStore store;
    return store;
}
