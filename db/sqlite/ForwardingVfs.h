#pragma once

#include <sqlite3.h>

// A VFS in front of base that passes every call on to it; the layer replaces the calls it
// changes (xOpen at least, since its files are its own). base is kept in pAppData. fileSize is
// the size of the layer's own file structure.
sqlite3_vfs ForwardingVfs(sqlite3_vfs* base, const char* name, int fileSize);

// The VFS a forwarding VFS passes its calls to.
inline sqlite3_vfs* ForwardingBase(sqlite3_vfs* vfs) {
    return static_cast<sqlite3_vfs*>(vfs->pAppData);
}
