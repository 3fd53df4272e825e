#include "db/sqlite/ForwardingVfs.h"

namespace {

sqlite3_vfs* Base(sqlite3_vfs* vfs) { return ForwardingBase(vfs); }

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    return Base(vfs)->xOpen(Base(vfs), name, file, flags, outFlags);
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

}  // namespace

sqlite3_vfs ForwardingVfs(sqlite3_vfs* base, const char* name, int fileSize) {
    sqlite3_vfs vfs{};
    vfs.iVersion = base->iVersion >= 2 ? 2 : 1;
    vfs.szOsFile = fileSize;
    vfs.mxPathname = base->mxPathname;
    vfs.zName = name;
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
    return vfs;
}
