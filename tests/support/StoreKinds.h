#pragma once

#include <gtest/gtest.h>

#include <string>

// The stores one database file is reached through: the SQLite store directly, or the ODBC store
// over the SQLite ODBC driver. Suites that run once per store take one of these as parameter.
enum class StoreKind { Direct, OdbcOverSqlite };

#ifdef _WIN32
// The Windows build's tests run under Wine, where no SQLite ODBC driver is installed.
inline constexpr bool kSqliteOdbcDriverInstalled = false;
inline constexpr StoreKind kStoreKinds[] = {StoreKind::Direct};
#else
inline constexpr bool kSqliteOdbcDriverInstalled = true;
inline constexpr StoreKind kStoreKinds[] = {StoreKind::Direct, StoreKind::OdbcOverSqlite};
#endif
// Why a test that needs that driver is skipped.
inline constexpr const char* kNoSqliteOdbcDriver =
    "The Windows build's tests run under Wine, where no SQLite ODBC driver is installed.";

// The database name that reaches the file through the store.
inline std::string DatabaseName(StoreKind kind, const std::string& path) {
    return kind == StoreKind::Direct ? path : "ODBC;Driver=SQLite3;Database=" + path;
}

inline const char* StoreKindName(StoreKind kind) {
    return kind == StoreKind::Direct ? "Direct" : "OdbcOverSqlite";
}

inline void PrintTo(StoreKind kind, std::ostream* out) { *out << StoreKindName(kind); }
