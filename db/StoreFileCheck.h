#pragma once

#include <sys/stat.h>

#include <string>

// Checks that a path names an existing SQLite database before the store opens it, so that a
// missing file, a folder, or a file of another format fails with the engine's own error.
// Returns what the check learnt of the file.
struct stat CheckStoreFile(const std::string& path);
