#include "db/sqlite/JournalRecordVfs.h"

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kNumberSize = 4;                 // a record's page number, and its checksum
constexpr int kLongestRecord = 65536 + 2 * 4;  // the largest page with both

// A journal: these fields in front, the base VFS's own file right behind.
struct JournalFile {
    sqlite3_file file;
    sqlite3_file* real;
    char* held;  // kLongestRecord bytes, allocated on open
    int heldSize;
    sqlite3_int64 heldOffset;
};

JournalFile* Journal(sqlite3_file* f) { return reinterpret_cast<JournalFile*>(f); }
sqlite3_file* Real(sqlite3_file* f) { return Journal(f)->real; }
const sqlite3_io_methods& RealMethods(sqlite3_file* f) { return *Real(f)->pMethods; }

int WriteHeld(sqlite3_file* f) {
    JournalFile& j = *Journal(f);
    if (j.heldSize == 0) return SQLITE_OK;
    const int size = std::exchange(j.heldSize, 0);
    return RealMethods(f).xWrite(j.real, j.held, size, j.heldOffset);
}

void Hold(JournalFile& j, const void* data, int amount) {
    std::memcpy(j.held + j.heldSize, data, static_cast<std::size_t>(amount));
    j.heldSize += amount;
}

int Write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
    JournalFile& j = *Journal(f);
    // Only what follows a held page number, or a checksum after its page, joins the record.
    const bool continues = j.heldSize > 0 && offset == j.heldOffset + j.heldSize &&
                           (j.heldSize == kNumberSize || amount == kNumberSize) &&
                           j.heldSize + amount <= kLongestRecord;
    if (continues) {
        Hold(j, data, amount);
        // The checksum closes the record.
        if (amount == kNumberSize && j.heldSize > 2 * kNumberSize) return WriteHeld(f);
        return SQLITE_OK;
    }
    if (const int rc = WriteHeld(f)) return rc;
    if (amount == kNumberSize) {
        j.heldOffset = offset;
        Hold(j, data, amount);
        return SQLITE_OK;
    }
    return RealMethods(f).xWrite(j.real, data, amount, offset);
}

int Close(sqlite3_file* f) {
    JournalFile& j = *Journal(f);
    const int written = WriteHeld(f);
    const int closed = RealMethods(f).xClose(j.real);
    std::free(j.held);
    j.held = nullptr;
    return written != SQLITE_OK ? written : closed;
}

// Every other call on a journal sees the file with what is held already written.
template <auto Method>
struct AfterHeld;
template <class... Args, int (*sqlite3_io_methods::*Method)(sqlite3_file*, Args...)>
struct AfterHeld<Method> {
    static int Call(sqlite3_file* f, Args... args) {
        if (const int rc = WriteHeld(f); rc != SQLITE_OK) return rc;
        return (RealMethods(f).*Method)(Real(f), args...);
    }
};

// Questions about the device, which what is held does not change.
template <auto Method>
int Ask(sqlite3_file* f) {
    return (RealMethods(f).*Method)(Real(f));
}

// Journals are never shared memory or mapped, so version 1 methods are all they need.
const sqlite3_io_methods kJournalMethods = {
    1,
    Close,
    AfterHeld<&sqlite3_io_methods::xRead>::Call,
    Write,
    AfterHeld<&sqlite3_io_methods::xTruncate>::Call,
    AfterHeld<&sqlite3_io_methods::xSync>::Call,
    AfterHeld<&sqlite3_io_methods::xFileSize>::Call,
    AfterHeld<&sqlite3_io_methods::xLock>::Call,
    AfterHeld<&sqlite3_io_methods::xUnlock>::Call,
    AfterHeld<&sqlite3_io_methods::xCheckReservedLock>::Call,
    AfterHeld<&sqlite3_io_methods::xFileControl>::Call,
    Ask<&sqlite3_io_methods::xSectorSize>,
    Ask<&sqlite3_io_methods::xDeviceCharacteristics>,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

sqlite3_vfs* Base(sqlite3_vfs* vfs) { return static_cast<sqlite3_vfs*>(vfs->pAppData); }

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    sqlite3_vfs* base = Base(vfs);
    if ((flags & SQLITE_OPEN_MAIN_JOURNAL) == 0) {
        // Any other file is the base VFS's own, in place: its methods, no step between.
        return base->xOpen(base, name, file, flags, outFlags);
    }
    JournalFile& j = *Journal(file);
    j.file.pMethods = nullptr;
    j.real = reinterpret_cast<sqlite3_file*>(&j + 1);
    j.heldSize = 0;
    j.heldOffset = 0;
    j.held = static_cast<char*>(std::malloc(kLongestRecord));
    if (j.held == nullptr) return SQLITE_NOMEM;
    const int rc = base->xOpen(base, name, j.real, flags, outFlags);
    if (rc != SQLITE_OK) {
        // A failed open may still leave methods that must be closed.
        if (j.real->pMethods != nullptr) j.real->pMethods->xClose(j.real);
        std::free(j.held);
        j.held = nullptr;
        return rc;
    }
    j.file.pMethods = &kJournalMethods;
    return SQLITE_OK;
}

int Delete(sqlite3_vfs* vfs, const char* name, int sync) {
    return Base(vfs)->xDelete(Base(vfs), name, sync);
}
int Access(sqlite3_vfs* vfs, const char* name, int flags, int* out) {
    return Base(vfs)->xAccess(Base(vfs), name, flags, out);
}
int FullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    return Base(vfs)->xFullPathname(Base(vfs), name, size, out);
}
void* DlOpen(sqlite3_vfs* vfs, const char* name) { return Base(vfs)->xDlOpen(Base(vfs), name); }
void DlError(sqlite3_vfs* vfs, int size, char* out) { Base(vfs)->xDlError(Base(vfs), size, out); }
void (*DlSym(sqlite3_vfs* vfs, void* handle, const char* symbol))(void) {
    return Base(vfs)->xDlSym(Base(vfs), handle, symbol);
}
void DlClose(sqlite3_vfs* vfs, void* handle) { Base(vfs)->xDlClose(Base(vfs), handle); }
int Randomness(sqlite3_vfs* vfs, int size, char* out) {
    return Base(vfs)->xRandomness(Base(vfs), size, out);
}
int Sleep(sqlite3_vfs* vfs, int microseconds) { return Base(vfs)->xSleep(Base(vfs), microseconds); }
int CurrentTime(sqlite3_vfs* vfs, double* out) { return Base(vfs)->xCurrentTime(Base(vfs), out); }
int GetLastError(sqlite3_vfs* vfs, int size, char* out) {
    return Base(vfs)->xGetLastError != nullptr ? Base(vfs)->xGetLastError(Base(vfs), size, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* out) {
    return Base(vfs)->xCurrentTimeInt64(Base(vfs), out);
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
        if (Base(&r->vfs) == base && r->baseName == base->zName &&
            r->baseFileSize == base->szOsFile) {
            return r->name.c_str();
        }
    }
    auto r = std::make_unique<RegisteredVfs>();
    r->name = "tallowmere-journal-records-" + std::to_string(registered.size() + 1);
    r->baseName = base->zName;
    r->baseFileSize = base->szOsFile;
    sqlite3_vfs& vfs = r->vfs;
    vfs.iVersion = base->iVersion >= 2 ? 2 : 1;
    vfs.szOsFile = static_cast<int>(sizeof(JournalFile)) + base->szOsFile;
    vfs.mxPathname = base->mxPathname;
    vfs.zName = r->name.c_str();
    vfs.pAppData = base;
    vfs.xOpen = Open;
    vfs.xDelete = Delete;
    vfs.xAccess = Access;
    vfs.xFullPathname = FullPathname;
    vfs.xDlOpen = DlOpen;
    vfs.xDlError = DlError;
    vfs.xDlSym = DlSym;
    vfs.xDlClose = DlClose;
    vfs.xRandomness = Randomness;
    vfs.xSleep = Sleep;
    vfs.xCurrentTime = CurrentTime;
    vfs.xGetLastError = GetLastError;
    if (vfs.iVersion >= 2) vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    if (sqlite3_vfs_register(&vfs, 0) != SQLITE_OK) return base->zName;
    registered.push_back(std::move(r));
    return registered.back()->name.c_str();
}
