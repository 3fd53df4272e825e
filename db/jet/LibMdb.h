#pragma once

// libmdb's header includes <glib.h> inside its extern "C" block, where glib's C++ parts do not
// compile; glib has to be included first.
#include <glib.h>
// glib first, then libmdb (keep this order)
#include <mdbtools.h>

#include <mutex>

// An open libmdb handle, closed with its owner.
struct JetMdb {
    JetMdb() = default;
    ~JetMdb();
    JetMdb(const JetMdb&) = delete;
    JetMdb& operator=(const JetMdb&) = delete;

    MdbHandle* handle = nullptr;
};

// Keeps libmdb's messages (it prints to standard error and reports failures no other way) from
// reaching the user while the reader is inside it, and lets one reader into it at a time.
class LibMdbQuiet {
public:
    LibMdbQuiet();
    ~LibMdbQuiet();
    LibMdbQuiet(const LibMdbQuiet&) = delete;
    LibMdbQuiet& operator=(const LibMdbQuiet&) = delete;

private:
    std::unique_lock<std::recursive_mutex> m_lock;
    FILE* m_saved = nullptr;
    bool m_outer = false;
};
