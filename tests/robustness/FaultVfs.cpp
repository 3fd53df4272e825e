#include "tests/robustness/FaultVfs.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

#include "db/sqlite/ForwardingVfs.h"

namespace {

// Our file: the shim's methods in front, the real file right behind it.
struct ShimFile {
    sqlite3_file base;
};

sqlite3_vfs* g_real = nullptr;
FaultVfs* g_active = nullptr;

sqlite3_file* Real(sqlite3_file* file) { return FileBehind<ShimFile>(file); }
template <auto Method>
using Pass = PassToFileBehind<ShimFile, Method>;

}  // namespace

struct FaultVfsAccess {
    static int Hit(FaultOp op) { return g_active != nullptr ? g_active->Hit(op) : SQLITE_OK; }
};

namespace {

int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    if (const int rc = FaultVfsAccess::Hit(FaultOp::Write)) return rc;
    return Pass<&sqlite3_io_methods::xWrite>::Call(f, buffer, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    if (const int rc = FaultVfsAccess::Hit(FaultOp::Truncate)) return rc;
    return Pass<&sqlite3_io_methods::xTruncate>::Call(f, size);
}
// The runs stand for a failing device, not a power cut: what reached the file is what counts, so
// the real flushes (which only make a loop of hundreds of runs slow) are left out.
int Sync(sqlite3_file*, int) { return FaultVfsAccess::Hit(FaultOp::Sync); }
int Lock(sqlite3_file* f, int level) {
    if (const int rc = FaultVfsAccess::Hit(FaultOp::Lock)) return rc;
    return Pass<&sqlite3_io_methods::xLock>::Call(f, level);
}
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    if (Real(f)->pMethods->iVersion < 2) return SQLITE_IOERR_SHMMAP;
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    if (Real(f)->pMethods->iVersion < 2) return SQLITE_IOERR_SHMLOCK;
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    if (Real(f)->pMethods->iVersion >= 2) Real(f)->pMethods->xShmBarrier(Real(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    if (Real(f)->pMethods->iVersion < 2) return SQLITE_OK;
    return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
    if (Real(f)->pMethods->iVersion < 3) {
        *out = nullptr;
        return SQLITE_OK;
    }
    return Real(f)->pMethods->xFetch(Real(f), offset, amount, out);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
    if (Real(f)->pMethods->iVersion < 3) return SQLITE_OK;
    return Real(f)->pMethods->xUnfetch(Real(f), offset, page);
}

const sqlite3_io_methods kMethods = {
    3,
    Pass<&sqlite3_io_methods::xClose>::Call,
    Pass<&sqlite3_io_methods::xRead>::Call,
    Write,
    Truncate,
    Sync,
    Pass<&sqlite3_io_methods::xFileSize>::Call,
    Lock,
    Pass<&sqlite3_io_methods::xUnlock>::Call,
    Pass<&sqlite3_io_methods::xCheckReservedLock>::Call,
    Pass<&sqlite3_io_methods::xFileControl>::Call,
    Pass<&sqlite3_io_methods::xSectorSize>::Call,
    Pass<&sqlite3_io_methods::xDeviceCharacteristics>::Call,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    Fetch,
    Unfetch,
};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    Real(file)->pMethods = nullptr;
    file->pMethods = nullptr;
    if ((flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_WAL)) != 0) {
        if (const int rc = FaultVfsAccess::Hit(FaultOp::JournalOpen)) return rc;
    }
    const int rc = g_real->xOpen(g_real, name, Real(file), flags, outFlags);
    if (Real(file)->pMethods != nullptr) file->pMethods = &kMethods;
    return rc;
}
int Delete(sqlite3_vfs*, const char* name, int) {
    if (const int rc = FaultVfsAccess::Hit(FaultOp::Delete)) return rc;
    return g_real->xDelete(g_real, name, 0);
}

}  // namespace

FaultVfs::FaultVfs() {
    if (g_active != nullptr) throw std::logic_error("one FaultVfs at a time");
    if (sqlite3_initialize() != SQLITE_OK) throw std::runtime_error("store initialisation failed");
    g_real = sqlite3_vfs_find(nullptr);
    if (g_real == nullptr || g_real->iVersion < 2)
        throw std::runtime_error("no usable default VFS");
    auto vfs = std::make_unique<sqlite3_vfs>(ForwardingVfs(
        g_real, "tallowmere-fault", static_cast<int>(sizeof(ShimFile)) + g_real->szOsFile));
    vfs->xOpen = Open;
    vfs->xDelete = Delete;
    if (sqlite3_vfs_register(vfs.get(), 1) != SQLITE_OK)
        throw std::runtime_error("VFS not registered");
    m_vfs = vfs.release();
    g_active = this;
}

FaultVfs::~FaultVfs() {
    g_active = nullptr;
    sqlite3_vfs_unregister(m_vfs);
    // The store makes the next one in its list the default, which may be a VFS registered in
    // front of this one meanwhile; the real default is the default again.
    sqlite3_vfs_register(g_real, 1);
    delete m_vfs;
}

void FaultVfs::Count() {
    m_counts = {};
    m_failed = 0;
    m_armed = false;
    m_counting = true;
}

void FaultVfs::Arm(FaultOp op, int64_t nth, int resultCode, bool sticky) {
    Count();
    m_armed = true;
    m_op = op;
    m_nth = nth;
    m_resultCode = resultCode;
    m_sticky = sticky;
}

void FaultVfs::Stop() {
    m_counting = false;
    m_armed = false;
}

int FaultVfs::Hit(FaultOp op) {
    if (!m_counting) return SQLITE_OK;
    const int64_t n = ++m_counts[static_cast<std::size_t>(op)];
    if (m_armed && op == m_op && (n == m_nth || (m_sticky && n > m_nth))) {
        ++m_failed;
        return m_resultCode;
    }
    return SQLITE_OK;
}
