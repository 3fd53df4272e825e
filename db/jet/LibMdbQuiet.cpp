#include <cstdio>

#include "db/jet/LibMdb.h"

namespace {

std::recursive_mutex& LibMdbMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

int& Depth() {
    static int depth = 0;
    return depth;
}

FILE* Sink() {
    // Opened once and kept: the guard runs for every table read.
    static FILE* sink = std::fopen("/dev/null", "we");
    return sink;
}

}  // namespace

LibMdbQuiet::LibMdbQuiet() : m_lock(LibMdbMutex()) {
    if (Depth()++ > 0) return;
    FILE* sink = Sink();
    if (sink == nullptr) return;
    m_outer = true;
    std::fflush(stderr);
    m_saved = stderr;
    stderr = sink;
}

LibMdbQuiet::~LibMdbQuiet() {
    --Depth();
    if (!m_outer) return;
    std::fflush(stderr);
    stderr = m_saved;
}

JetMdb::~JetMdb() {
    if (handle == nullptr) return;
    LibMdbQuiet quiet;
    mdb_close(handle);
}
