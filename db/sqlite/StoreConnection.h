#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "db/StoreFileCheck.h"
#include "db/sqlite/StoreError.h"

struct sqlite3;
struct sqlite3_stmt;

// One open store file, shared by every recordset open on it. Writes are grouped into implicit
// transactions that commit at least every write-group interval and when the last user releases
// the file, so an interrupted run loses at most its last group and the file stays consistent.
class StoreConnection {
public:
    // The connection to an existing database file, opened on first use. Never creates a file.
    static std::shared_ptr<StoreConnection> Acquire(const StoreFile& file);
    // Lets go of a connection; the last user's release commits pending writes (and may fail).
    static void Release(std::shared_ptr<StoreConnection>& connection);

    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    sqlite3* Handle() const { return m_db; }
    const std::string& Path() const { return m_path; }

    // A statement the caller owns (finalize with sqlite3_finalize); failures raise engine errors.
    sqlite3_stmt* Prepare(const std::string& sql, StoreAction action, const std::string& table);

    // Brackets one write: opens the implicit transaction, then commits it once it is old enough.
    void BeginWrite(const std::string& table);
    void EndWrite(const std::string& table);
    // After a failed statement: the store may have rolled the group back on its own.
    void NoteFailure();
    void Commit(const std::string& table = {});

    [[noreturn]] void Fail(int resultCode, StoreAction action, const std::string& table = {});

private:
    using FileKey = StoreFileKey;

    StoreConnection(sqlite3* db, std::string path, FileKey key);
    void Execute(const char* sql, StoreAction action, const std::string& table);
    void KeepJournalBetweenGroups(const std::string& table);
    void RestoreJournalMode();
    static class ConnectionTable& Table();

    sqlite3* m_db;
    std::string m_path;
    FileKey m_key;
    bool m_inGroup = false;
    bool m_journalChecked = false;
    bool m_journalKept = false;
    std::chrono::steady_clock::time_point m_groupStart;
    std::chrono::milliseconds m_groupInterval;

    friend class ConnectionTable;
};
