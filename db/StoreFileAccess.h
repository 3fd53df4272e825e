#pragma once

#include <cstddef>
#include <string>

#include "db/StoreFileCheck.h"

// The platform's part of the store file check (StoreFileAccess_posix.cpp, _win.cpp).

// The first bytes of a file and its key.
struct StoreFileStart {
    StoreFileKey key;
    char header[32] = {};
    std::size_t length = 0;
};

// Reads the start of the file at path without blocking; a missing file, a folder or anything
// but a plain file fails with the engine's error (through the functions below).
StoreFileStart ReadStoreFileStart(const std::string& path);

[[noreturn]] void StoreFileNotFound(const std::string& path);
[[noreturn]] void StoreFileNoPermission(const std::string& path);
[[noreturn]] void StoreFileInvalidPath(const std::string& path);
[[noreturn]] void StoreFileIsFolder(const std::string& path);
[[noreturn]] void StoreFileNotAFile(const std::string& path);
