#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "db/StoreFileCheck.h"
#include "db/sqlite/StoreError.h"

struct sqlite3;
struct sqlite3_stmt;

// A reader of a file opened for reading only. When the same file is then opened for writing, the
// connection moves to a new handle and every reader's statement moves with it, to the same row.
class ConnectionReader {
public:
    // Its statement prepared anew on db and stepped to the row it is on; raises on failure.
    virtual sqlite3_stmt* PrepareOn(sqlite3* db) = 0;
    // Gives up its old statement for the one PrepareOn made.
    virtual void MoveTo(sqlite3_stmt* stmt) = 0;

protected:
    ~ConnectionReader() = default;
};

// One open store file, shared by every recordset open on it. A file is opened for reading only
// until a recordset that can write opens on it, so a source is never changed. Writes are grouped
// into implicit transactions that commit at least every write-group interval and when the last
// user releases the file, so an interrupted run loses at most its last group and the file stays
// consistent. A group takes the lock its commit needs when it begins.
class StoreConnection {
public:
    enum class Access { Read, Write };

    // The connection to an existing database file, opened on first use. Never creates a file.
    static std::shared_ptr<StoreConnection> Acquire(const StoreFile& file, Access access);
    // Lets go of a connection; the last user's release commits pending writes (and may fail).
    static void Release(std::shared_ptr<StoreConnection>& connection);

    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    sqlite3* Handle() const { return m_db; }
    const std::string& Path() const { return m_path; }

    void AddReader(ConnectionReader* reader) { m_readers.push_back(reader); }
    void RemoveReader(ConnectionReader* reader);

    // A statement the caller owns (finalize with sqlite3_finalize); failures raise engine errors.
    sqlite3_stmt* Prepare(const std::string& sql, StoreAction action, const std::string& table);

    // Brackets one write: opens the implicit transaction, then commits it once it is old enough.
    void BeginWrite(const std::string& table);
    void EndWrite(const std::string& table);
    // After a failed statement: when the store rolled the group back on its own, the rows it
    // held are lost, which raises CDaoCommitException.
    void NoteFailure(int resultCode, const std::string& table);
    void Commit(const std::string& table = {});

    [[noreturn]] void Fail(int resultCode, StoreAction action, const std::string& table = {});

private:
    using FileKey = StoreFileKey;

    StoreConnection(sqlite3* db, std::string path, FileKey key, bool readOnly);
    static sqlite3* OpenHandle(const std::string& path, Access access);
    void OpenForWriting();
    void Execute(const char* sql, StoreAction action, const std::string& table);
    void KeepJournalBetweenGroups(const std::string& table);
    void RestoreJournalMode();
    [[noreturn]] void LostGroup(int resultCode, const std::string& table,
                                const std::string& detail);
    static class ConnectionTable& Table();

    sqlite3* m_db;
    std::string m_path;
    FileKey m_key;
    bool m_readOnly;
    bool m_inGroup = false;
    long long m_groupWrites = 0;  // writes acknowledged since the group began
    bool m_journalChecked = false;
    bool m_journalKept = false;
    std::chrono::steady_clock::time_point m_groupStart;
    std::vector<ConnectionReader*> m_readers;

    friend class ConnectionTable;
};
