#include "db/sqlite/JournalRecordVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "db/sqlite/ForwardingVfs.h"

namespace {

constexpr int kNumberSize = 4;  // a record's page number, and its checksum
// Records gathered for one write: one record of the largest page (64 KiB and both numbers), or
// fifteen of 4 KiB. The unix file layer takes at most 128 KiB in one write.
constexpr int kMostHeld = 65536 + 2 * kNumberSize;
constexpr int kMostHeldPages = kMostHeld / (512 + 2 * kNumberSize) + 1;  // of the smallest page

struct DatabaseFile;

// A journal: these fields in front, the base VFS's own file right behind.
struct JournalFile {
    sqlite3_file file;
    char* held;  // kMostHeld bytes, allocated on open
    int heldSize;
    sqlite3_int64 heldOffset;
    // The database whose changes this journal records. While it is known, records are gathered,
    // and a page written to the database first writes what is held of that page's record;
    // without it nothing is held.
    DatabaseFile* database;
    // The pages whose records are not whole in the file yet.
    std::array<uint32_t, kMostHeldPages> heldPages;
    int heldPageCount;
    // The last page number written, and where it ended: a page written right there is its record.
    uint32_t lastNumber;
    sqlite3_int64 lastNumberEnd;
};

// A main database: its journal in front, the base VFS's own file right behind.
struct DatabaseFile {
    sqlite3_file file;
    JournalFile* journal;
};

JournalFile* Journal(sqlite3_file* f) { return reinterpret_cast<JournalFile*>(f); }
DatabaseFile* Database(sqlite3_file* f) { return reinterpret_cast<DatabaseFile*>(f); }

int WriteThrough(JournalFile& j, const void* data, int amount, sqlite3_int64 offset) {
    return PassToFileBehind<JournalFile, &sqlite3_io_methods::xWrite>::Call(&j.file, data, amount,
                                                                            offset);
}

int WriteHeld(JournalFile& j) {
    j.heldPageCount = 0;
    if (j.heldSize == 0) return SQLITE_OK;
    return WriteThrough(j, j.held, std::exchange(j.heldSize, 0), j.heldOffset);
}

bool Holds(const JournalFile& j, uint32_t page) {
    return std::find(j.heldPages.begin(), j.heldPages.begin() + j.heldPageCount, page) !=
           j.heldPages.begin() + j.heldPageCount;
}

// Open main databases by the name SQLite gave them, which their journals' names lead back to.
std::mutex g_databasesMutex;
std::vector<std::pair<const char*, DatabaseFile*>> g_databases;

void Link(JournalFile& j, sqlite3_filename journalName) {
    const char* databaseName = sqlite3_filename_database(journalName);
    const std::lock_guard lock(g_databasesMutex);
    for (auto& [name, database] : g_databases) {
        if (name == databaseName && database->journal == nullptr) {
            database->journal = &j;
            j.database = database;
            return;
        }
    }
}

void Unlink(JournalFile& j) {
    const std::lock_guard lock(g_databasesMutex);
    if (j.database != nullptr) j.database->journal = nullptr;
    j.database = nullptr;
}

void Hold(JournalFile& j, const void* data, int amount, sqlite3_int64 offset) {
    if (j.heldSize == 0) j.heldOffset = offset;
    std::memcpy(j.held + j.heldSize, data, static_cast<std::size_t>(amount));
    j.heldSize += amount;
}

bool Follows(const JournalFile& j, int amount, sqlite3_int64 offset) {
    return j.heldSize > 0 && offset == j.heldOffset + j.heldSize &&
           j.heldSize + amount <= kMostHeld;
}

int GatherRecords(JournalFile& j, const void* data, int amount, sqlite3_int64 offset) {
    const bool page = amount > kNumberSize && offset == j.lastNumberEnd;
    if (!Follows(j, amount, offset) || (page && j.heldPageCount == kMostHeldPages)) {
        if (const int rc = WriteHeld(j)) return rc;
    }
    // Only records are held. A header, and above all the one that is zeroed or rewritten to
    // commit, goes out at once: a commit held back could be rolled back after a crash.
    if (amount != kNumberSize && !page) return WriteThrough(j, data, amount, offset);
    if (amount == kNumberSize) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        j.lastNumber = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 |
                       uint32_t{bytes[2]} << 8 | bytes[3];
        j.lastNumberEnd = offset + kNumberSize;
    }
    // Its page number may be in the file already; the record is whole once its page is too.
    if (page) j.heldPages[j.heldPageCount++] = j.lastNumber;
    Hold(j, data, amount, offset);
    return SQLITE_OK;
}

int Write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
    JournalFile& j = *Journal(f);
    if (j.database != nullptr) return GatherRecords(j, data, amount, offset);
    // A journal whose database is not known holds nothing back.
    if (const int rc = WriteHeld(j)) return rc;
    return WriteThrough(j, data, amount, offset);
}

int Close(sqlite3_file* f) {
    JournalFile& j = *Journal(f);
    const int written = WriteHeld(j);
    Unlink(j);
    const int closed = PassToFileBehind<JournalFile, &sqlite3_io_methods::xClose>::Call(f);
    std::free(j.held);
    j.held = nullptr;
    return written != SQLITE_OK ? written : closed;
}

// The journal whose held records a call must wait for: a journal's own, or a database's.
JournalFile* OwnRecords(sqlite3_file* f) { return Journal(f); }
JournalFile* ItsJournal(sqlite3_file* f) { return Database(f)->journal; }

// A call made once what HeldBy holds is written, then passed on to the file behind.
template <class File, JournalFile* (*HeldBy)(sqlite3_file*), auto Method>
struct AfterHeld;
template <class File, JournalFile* (*HeldBy)(sqlite3_file*), class... Args,
          int (*sqlite3_io_methods::*Method)(sqlite3_file*, Args...)>
struct AfterHeld<File, HeldBy, Method> {
    static int Call(sqlite3_file* f, Args... args) {
        if (JournalFile* journal = HeldBy(f)) {
            if (const int rc = WriteHeld(*journal); rc != SQLITE_OK) return rc;
        }
        return PassToFileBehind<File, Method>::Call(f, args...);
    }
};

// Every other call on a journal sees the file with what is held already written.
template <auto Method>
using AfterOwnRecords = AfterHeld<JournalFile, OwnRecords, Method>;

// Journals are never shared memory or mapped, so version 1 methods are all they need.
const sqlite3_io_methods kJournalMethods = {
    1,
    Close,
    AfterOwnRecords<&sqlite3_io_methods::xRead>::Call,
    Write,
    AfterOwnRecords<&sqlite3_io_methods::xTruncate>::Call,
    AfterOwnRecords<&sqlite3_io_methods::xSync>::Call,
    AfterOwnRecords<&sqlite3_io_methods::xFileSize>::Call,
    AfterOwnRecords<&sqlite3_io_methods::xLock>::Call,
    AfterOwnRecords<&sqlite3_io_methods::xUnlock>::Call,
    AfterOwnRecords<&sqlite3_io_methods::xCheckReservedLock>::Call,
    AfterOwnRecords<&sqlite3_io_methods::xFileControl>::Call,
    // Questions about the device, which what is held does not change.
    PassToFileBehind<JournalFile, &sqlite3_io_methods::xSectorSize>::Call,
    PassToFileBehind<JournalFile, &sqlite3_io_methods::xDeviceCharacteristics>::Call,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// A change to a main database first writes what its journal holds, so no page is changed on
// disk before the record that can put it back; reads and questions pass straight through.
template <auto Method>
using AfterJournal = AfterHeld<DatabaseFile, ItsJournal, Method>;
template <auto Method>
using PassToDatabase = PassToFileBehind<DatabaseFile, Method>;

// A page written to the database waits only for its own record; another page's record may stay
// held, since a crash before it is written finds that page unchanged.
int WriteDatabase(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
    JournalFile* journal = Database(f)->journal;
    if (journal != nullptr && journal->heldSize > 0) {
        const bool wholePage = amount > 0 && offset % amount == 0;
        if (!wholePage || Holds(*journal, static_cast<uint32_t>(offset / amount + 1))) {
            if (const int rc = WriteHeld(*journal)) return rc;
        }
    }
    return PassToDatabase<&sqlite3_io_methods::xWrite>::Call(f, data, amount, offset);
}

int CloseDatabase(sqlite3_file* f) {
    DatabaseFile& d = *Database(f);
    int written = SQLITE_OK;
    {
        const std::lock_guard lock(g_databasesMutex);
        if (d.journal != nullptr) {
            written = WriteHeld(*d.journal);
            d.journal->database = nullptr;
            d.journal = nullptr;
        }
        std::erase_if(g_databases, [&](const auto& entry) { return entry.second == &d; });
    }
    const int closed = PassToDatabase<&sqlite3_io_methods::xClose>::Call(f);
    return written != SQLITE_OK ? written : closed;
}

// The base file's own version of the methods: shared memory (a file kept in log mode) and
// mapping pass straight through.
constexpr sqlite3_io_methods DatabaseMethods(int version) {
    using M = sqlite3_io_methods;
    M m{};
    m.iVersion = version;
    m.xClose = CloseDatabase;
    m.xRead = PassToDatabase<&M::xRead>::Call;
    m.xWrite = WriteDatabase;
    m.xTruncate = AfterJournal<&M::xTruncate>::Call;
    m.xSync = AfterJournal<&M::xSync>::Call;
    m.xFileSize = PassToDatabase<&M::xFileSize>::Call;
    m.xLock = AfterJournal<&M::xLock>::Call;
    m.xUnlock = AfterJournal<&M::xUnlock>::Call;
    m.xCheckReservedLock = PassToDatabase<&M::xCheckReservedLock>::Call;
    m.xFileControl = AfterJournal<&M::xFileControl>::Call;
    m.xSectorSize = PassToDatabase<&M::xSectorSize>::Call;
    m.xDeviceCharacteristics = PassToDatabase<&M::xDeviceCharacteristics>::Call;
    if (version >= 2) {
        m.xShmMap = PassToDatabase<&M::xShmMap>::Call;
        m.xShmLock = PassToDatabase<&M::xShmLock>::Call;
        m.xShmBarrier = PassToDatabase<&M::xShmBarrier>::Call;
        m.xShmUnmap = PassToDatabase<&M::xShmUnmap>::Call;
    }
    if (version >= 3) {
        m.xFetch = PassToDatabase<&M::xFetch>::Call;
        m.xUnfetch = PassToDatabase<&M::xUnfetch>::Call;
    }
    return m;
}
constexpr sqlite3_io_methods kDatabaseMethods[] = {DatabaseMethods(1), DatabaseMethods(2),
                                                   DatabaseMethods(3)};

// Opens the base VFS's file behind ours; a failed open may still leave methods to close.
int OpenBehind(sqlite3_vfs* base, sqlite3_filename name, sqlite3_file* real, int flags,
               int* outFlags) {
    real->pMethods = nullptr;
    const int rc = base->xOpen(base, name, real, flags, outFlags);
    if (rc != SQLITE_OK && real->pMethods != nullptr) real->pMethods->xClose(real);
    return rc;
}

int OpenDatabase(sqlite3_vfs* base, sqlite3_filename name, sqlite3_file* file, int flags,
                 int* outFlags) {
    DatabaseFile& d = *Database(file);
    d.file.pMethods = nullptr;
    d.journal = nullptr;
    sqlite3_file* real = FileBehind<DatabaseFile>(file);
    if (const int rc = OpenBehind(base, name, real, flags, outFlags)) return rc;
    const int version = std::clamp(real->pMethods->iVersion, 1, 3);
    d.file.pMethods = &kDatabaseMethods[version - 1];
    if (name != nullptr) {
        const std::lock_guard lock(g_databasesMutex);
        g_databases.emplace_back(name, &d);
    }
    return SQLITE_OK;
}

int OpenJournal(sqlite3_vfs* base, sqlite3_filename name, sqlite3_file* file, int flags,
                int* outFlags) {
    JournalFile& j = *Journal(file);
    j.file.pMethods = nullptr;
    j.heldSize = 0;
    j.heldOffset = 0;
    j.database = nullptr;
    j.heldPageCount = 0;
    j.lastNumber = 0;
    j.lastNumberEnd = -1;
    j.held = static_cast<char*>(std::malloc(kMostHeld));
    if (j.held == nullptr) return SQLITE_NOMEM;
    if (const int rc = OpenBehind(base, name, FileBehind<JournalFile>(file), flags, outFlags)) {
        std::free(j.held);
        j.held = nullptr;
        return rc;
    }
    j.file.pMethods = &kJournalMethods;
    if (name != nullptr) Link(j, name);
    return SQLITE_OK;
}

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    sqlite3_vfs* base = ForwardingBase(vfs);
    if ((flags & SQLITE_OPEN_MAIN_DB) != 0) return OpenDatabase(base, name, file, flags, outFlags);
    if ((flags & SQLITE_OPEN_MAIN_JOURNAL) != 0) {
        return OpenJournal(base, name, file, flags, outFlags);
    }
    // Any other file is the base VFS's own, in place: its methods, no step between.
    return base->xOpen(base, name, file, flags, outFlags);
}

struct RegisteredVfs {
    sqlite3_vfs vfs{};
    std::string name;
    std::string baseName;
    int baseFileSize = 0;
};

}  // namespace

const char* JournalRecordVfsName() {
    static std::mutex mutex;
    // Kept for the life of the process: connections may use them until its end.
    static std::vector<std::unique_ptr<RegisteredVfs>> registered;
    const std::lock_guard lock(mutex);
    sqlite3_vfs* base = sqlite3_vfs_find(nullptr);
    if (base == nullptr) return nullptr;
    if (base->xOpen == Open) return base->zName;  // already one of these
    for (const auto& r : registered) {
        // A VFS that was unregistered may leave another at its address.
        if (ForwardingBase(&r->vfs) == base && r->baseName == base->zName &&
            r->baseFileSize == base->szOsFile) {
            return r->name.c_str();
        }
    }
    auto r = std::make_unique<RegisteredVfs>();
    r->name = "tallowmere-journal-records-" + std::to_string(registered.size() + 1);
    r->baseName = base->zName;
    r->baseFileSize = base->szOsFile;
    r->vfs = ForwardingVfs(base, r->name.c_str(),
                           static_cast<int>(sizeof(JournalFile)) + base->szOsFile);
    r->vfs.xOpen = Open;
    if (sqlite3_vfs_register(&r->vfs, 0) != SQLITE_OK) return base->zName;
    registered.push_back(std::move(r));
    return registered.back()->name.c_str();
}
