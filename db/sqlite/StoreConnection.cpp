#include "db/sqlite/StoreConnection.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <utility>

#include "db/DaoEngine.h"
#include "db/DaoException.h"
#include "db/sqlite/JournalRecordVfs.h"

class ConnectionTable {
public:
    std::map<StoreConnection::FileKey, std::weak_ptr<StoreConnection>> open;
};

ConnectionTable& StoreConnection::Table() {
    static ConnectionTable table;
    return table;
}

namespace {

constexpr int kCacheKiB = 16 * 1024;
constexpr const char* kRowsNotSaved = " The rows written since the last commit were not saved.";

void ExecuteOn(sqlite3* db, const char* sql, const std::string& path) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return;
    const std::string message = StoreMessage(db);
    sqlite3_close_v2(db);
    ThrowStoreError(rc, path, StoreAction::Open, {}, message);
}

// The store names a file's journal by its full path and a suffix, within a fixed length.
void RefuseLongPath(const std::string& path, const std::string& storeName) {
    constexpr std::size_t kLongestSuffix = sizeof "-journal" - 1;
    const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    std::error_code error;
    const std::string full = std::filesystem::absolute(storeName, error).string();
    if (vfs == nullptr || error || full.size() + kLongestSuffix <= std::size_t(vfs->mxPathname)) {
        return;
    }
    const std::size_t longest = std::size_t(vfs->mxPathname) - kLongestSuffix;
    ThrowDaoException(DaoError::InvalidPath,
                      "The database '" + path + "' cannot be opened: its full path is " +
                          std::to_string(full.size()) + " bytes long, and the database engine " +
                          "takes paths of at most " + std::to_string(longest) +
                          " bytes. Move it to a folder with a shorter path.");
}

}  // namespace

sqlite3* StoreConnection::OpenHandle(const std::string& path, Access access) {
    // The store's memory statistics take a global lock on every allocation; nothing here reads
    // them. This only takes effect before the store's first use in the process.
    static const int memoryStatisticsOff = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)memoryStatisticsOff;
    // The store reads a name beginning with "file:" as a URI, which could name another file or
    // carry options of its own; "./" keeps it the plain relative name it is.
    const std::string storeName = path.rfind("file:", 0) == 0 ? "./" + path : path;
    sqlite3* db = nullptr;
    const int mode = access == Access::Write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    const int rc = sqlite3_open_v2(
        storeName.c_str(), &db,
        mode | SQLITE_OPEN_PRIVATECACHE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE,
        JournalRecordVfsName());
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        if ((rc & 0xFF) == SQLITE_CANTOPEN) RefuseLongPath(path, storeName);
        ThrowStoreError(rc, path, StoreAction::Open);
    }
    // A database file is the user's data, not trusted code: no schema-borne functions, no
    // writes to the schema through ordinary statements, and no views or triggers, which could
    // make a plain read or write run without end. The glossary is its tables.
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    const auto wait = CurrentEngineSettings().LockWait();
    sqlite3_busy_timeout(db, static_cast<int>(wait.count()));
    ExecuteOn(db, ("PRAGMA cache_size = -" + std::to_string(kCacheKiB)).c_str(), path);
    // Reads the first page, so a damaged or foreign file fails here rather than mid-run. Opened
    // for reading only, a file with a journal another program left behind fails here too
    // rather than have it played back.
    ExecuteOn(db, "SELECT count(*) FROM sqlite_schema", path);
    return db;
}

std::shared_ptr<StoreConnection> StoreConnection::Acquire(const StoreFile& file, Access access) {
    // Keyed by the file itself, so two names for one file share one connection and never lock
    // each other out.
    const FileKey key = file.key;
    auto& open = Table().open;
    if (auto found = open.find(key); found != open.end()) {
        if (auto existing = found->second.lock()) {
            if (access == Access::Write && existing->m_readOnly) existing->OpenForWriting();
            return existing;
        }
    }
    sqlite3* db = OpenHandle(file.path, access);
    std::shared_ptr<StoreConnection> connection(
        new StoreConnection(db, file.path, key, access == Access::Read));
    open[key] = connection;
    return connection;
}

void StoreConnection::OpenForWriting() {
    // Two handles on one file would lock each other out, so the readers move to the new one.
    sqlite3* db = OpenHandle(m_path, Access::Write);
    std::vector<sqlite3_stmt*> moved;
    try {
        for (ConnectionReader* reader : m_readers) moved.push_back(reader->PrepareOn(db));
    } catch (...) {
        for (sqlite3_stmt* stmt : moved) sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
        throw;
    }
    for (std::size_t i = 0; i < moved.size(); ++i) m_readers[i]->MoveTo(moved[i]);
    sqlite3_close_v2(m_db);
    m_db = db;
    m_readOnly = false;
}

void StoreConnection::RemoveReader(ConnectionReader* reader) {
    m_readers.erase(std::remove(m_readers.begin(), m_readers.end(), reader), m_readers.end());
}

void StoreConnection::Release(std::shared_ptr<StoreConnection>& connection) {
    if (!connection) return;
    std::shared_ptr<StoreConnection> held = std::move(connection);
    if (held.use_count() != 1) return;
    held->Commit();
    held->RestoreJournalMode();
}

StoreConnection::StoreConnection(sqlite3* db, std::string path, FileKey key, bool readOnly)
    : m_db(db), m_path(std::move(path)), m_key(key), m_readOnly(readOnly) {}

StoreConnection::~StoreConnection() {
    if (m_inGroup && !sqlite3_get_autocommit(m_db)) {
        if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    if (m_journalKept)
        sqlite3_exec(m_db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
    auto& open = Table().open;
    if (auto found = open.find(m_key); found != open.end() && found->second.expired()) {
        open.erase(found);
    }
}

sqlite3_stmt* StoreConnection::Prepare(const std::string& sql, StoreAction action,
                                       const std::string& table) {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        Fail(rc, action, table);
    }
    return stmt;
}

void StoreConnection::Execute(const char* sql, StoreAction action, const std::string& table) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(rc, action, table);
}

void StoreConnection::KeepJournalBetweenGroups(const std::string& table) {
    m_journalChecked = true;
    // Only a file in the default mode is switched, and only for this connection: the mode of a
    // rollback journal is not stored in the file. A file kept in log mode stays as it is.
    sqlite3_stmt* mode = Prepare("PRAGMA journal_mode", StoreAction::Write, table);
    const int rc = sqlite3_step(mode);
    const auto* text = rc == SQLITE_ROW ? sqlite3_column_text(mode, 0) : nullptr;
    const bool deleteMode =
        text != nullptr && std::string(reinterpret_cast<const char*>(text)) == "delete";
    sqlite3_finalize(mode);
    if (rc != SQLITE_ROW) Fail(rc, StoreAction::Write, table);
    if (!deleteMode) return;
    Execute("PRAGMA journal_mode = PERSIST", StoreAction::Write, table);
    m_journalKept = true;
}

void StoreConnection::RestoreJournalMode() {
    if (!m_journalKept) return;
    m_journalKept = false;
    // Back to the default mode, which also removes the journal file.
    Execute("PRAGMA journal_mode = DELETE", StoreAction::Write, {});
}

void StoreConnection::BeginWrite(const std::string& table) {
    if (m_inGroup) return;
    // The journal file is kept between groups rather than made and deleted for each one; the
    // last user's release removes it.
    if (!m_journalChecked) KeepJournalBetweenGroups(table);
    // EXCLUSIVE takes now the lock the commit will need: with a rollback journal another
    // program's reader blocks a commit, so it must be met (and reported) before anything is
    // changed. With a write-ahead log this is the write lock, and readers never block a commit.
    Execute("BEGIN EXCLUSIVE", StoreAction::Write, table);
    m_inGroup = true;
    m_groupWrites = 0;
    m_groupStart = std::chrono::steady_clock::now();
}

void StoreConnection::EndWrite(const std::string& table) {
    if (!m_inGroup) return;
    ++m_groupWrites;
    if (std::chrono::steady_clock::now() - m_groupStart >=
        CurrentEngineSettings().WriteGroupInterval()) {
        Commit(table);
    }
}

void StoreConnection::NoteFailure(int resultCode, const std::string& table) {
    if (!m_inGroup || !sqlite3_get_autocommit(m_db)) return;
    // The store rolled the whole group back.
    m_inGroup = false;
    if (std::exchange(m_groupWrites, 0) > 0) LostGroup(resultCode, table, StoreMessage(m_db));
}

void StoreConnection::Commit(const std::string& table) {
    if (!m_inGroup) return;
    m_inGroup = false;
    const long long writes = std::exchange(m_groupWrites, 0);
    if (sqlite3_get_autocommit(m_db)) {
        if (writes > 0) LostGroup(SQLITE_ABORT, table, "the write group ended unfinished");
        return;
    }
    const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return;
    // The store's words are taken before the rollback replaces them.
    const std::string message = StoreMessage(m_db);
    // A group that cannot be committed is undone whole, so the file stays as it was.
    if (!sqlite3_get_autocommit(m_db)) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    LostGroup(rc, table, message);
}

void StoreConnection::LostGroup(int resultCode, const std::string& table,
                                const std::string& detail) {
    const CDaoException cause =
        StoreException(resultCode, m_path, StoreAction::Write, table, detail);
    throw CDaoCommitException(cause.m_pErrorInfo->m_lErrorCode,
                              cause.m_pErrorInfo->m_strDescription + kRowsNotSaved);
}

void StoreConnection::Fail(int resultCode, StoreAction action, const std::string& table) {
    NoteFailure(resultCode, table);
    ThrowStoreError(resultCode, m_path, action, table, StoreMessage(m_db));
}
