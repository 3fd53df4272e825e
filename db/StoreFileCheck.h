#pragma once

#include <compare>
#include <string>

// The format a database file's header declares; Odbc for an "ODBC;" connection string, which
// names no file.
enum class StoreFormat { Sqlite, Jet3, Jet4, Ace, Odbc };

// Identifies a file itself rather than its name, so two names for one file can be told apart
// from two files: device and inode, or on Windows volume serial number and file index.
struct StoreFileKey {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    auto operator<=>(const StoreFileKey&) const = default;
};

// What the check learnt of an existing database file.
struct StoreFile {
    std::string path;
    StoreFormat format = StoreFormat::Sqlite;
    StoreFileKey key;
};

// Checks that a path names an existing database file of a known format before a store opens it,
// so that a missing file, a folder, or a file of another format fails with the engine's own error.
StoreFile CheckStoreFile(const std::string& path);
