#include "db/sqlite/JournalRecordVfs.h"

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "db/sqlite/ForwardingVfs.h"

namespace {

constexpr int kNumberSize = 4;                 // a record's page number, and its checksum
constexpr int kLongestRecord = 65536 + 2 * 4;  // the largest page with both

// A journal: these fields in front, the base VFS's own file right behind.
struct JournalFile {
    sqlite3_file file;
    char* held;  // kLongestRecord bytes, allocated on open
    int heldSize;
    sqlite3_int64 heldOffset;
};

JournalFile* Journal(sqlite3_file* f) { return reinterpret_cast<JournalFile*>(f); }
sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<sqlite3_file*>(Journal(f) + 1); }
const sqlite3_io_methods& RealMethods(sqlite3_file* f) { return *Real(f)->pMethods; }

int WriteHeld(sqlite3_file* f) {
    JournalFile& j = *Journal(f);
    if (j.heldSize == 0) return SQLITE_OK;
    const int size = std::exchange(j.heldSize, 0);
    return RealMethods(f).xWrite(Real(f), j.held, size, j.heldOffset);
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
    return RealMethods(f).xWrite(Real(f), data, amount, offset);
}

int Close(sqlite3_file* f) {
    JournalFile& j = *Journal(f);
    const int written = WriteHeld(f);
    const int closed = RealMethods(f).xClose(Real(f));
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

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    sqlite3_vfs* base = ForwardingBase(vfs);
    if ((flags & SQLITE_OPEN_MAIN_JOURNAL) == 0) {
        // Any other file is the base VFS's own, in place: its methods, no step between.
        return base->xOpen(base, name, file, flags, outFlags);
    }
    JournalFile& j = *Journal(file);
    sqlite3_file* real = Real(file);
    j.file.pMethods = nullptr;
    j.heldSize = 0;
    j.heldOffset = 0;
    j.held = static_cast<char*>(std::malloc(kLongestRecord));
    if (j.held == nullptr) return SQLITE_NOMEM;
    const int rc = base->xOpen(base, name, real, flags, outFlags);
    if (rc != SQLITE_OK) {
        // A failed open may still leave methods that must be closed.
        if (real->pMethods != nullptr) real->pMethods->xClose(real);
        std::free(j.held);
        j.held = nullptr;
        return rc;
    }
    j.file.pMethods = &kJournalMethods;
    return SQLITE_OK;
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
