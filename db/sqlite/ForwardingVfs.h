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

// The base VFS's own file, which a layer keeps right behind its own File structure.
template <class File>
sqlite3_file* FileBehind(sqlite3_file* file) {
    return reinterpret_cast<sqlite3_file*>(reinterpret_cast<File*>(file) + 1);
}

// A file call passed on unchanged to the base VFS's file behind File.
template <class File, auto Method>
struct PassToFileBehind;
template <class File, class Result, class... Args,
          Result (*sqlite3_io_methods::*Method)(sqlite3_file*, Args...)>
struct PassToFileBehind<File, Method> {
    static Result Call(sqlite3_file* file, Args... args) {
        sqlite3_file* behind = FileBehind<File>(file);
        return (behind->pMethods->*Method)(behind, args...);
    }
};
