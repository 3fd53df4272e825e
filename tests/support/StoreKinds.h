#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifndef _WIN32
#include "tests/support/OdbcTestConfig.h"
#endif

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

// The ODBC driver the ODBC cases go through: the SQLite driver, or the one
// TALLOWMERE_TEST_ODBC_DRIVER names (the Access driver emulation, when the ODBC cases are run
// through it once more).
inline std::string TestOdbcDriver() {
#ifndef _WIN32
    OdbcTestConfig::Instance();  // the tests' own ODBC configuration, which registers both
#endif
    const char* driver = std::getenv("TALLOWMERE_TEST_ODBC_DRIVER");
    return driver != nullptr && *driver != '\0' ? driver : "SQLite3";
}

// The database name that reaches the file through the store.
inline std::string DatabaseName(StoreKind kind, const std::string& path) {
    return kind == StoreKind::Direct ? path
                                     : "ODBC;Driver={" + TestOdbcDriver() + "};Database=" + path;
}

inline const char* StoreKindName(StoreKind kind) {
    return kind == StoreKind::Direct ? "Direct" : "OdbcOverSqlite";
}

inline void PrintTo(StoreKind kind, std::ostream* out) { *out << StoreKindName(kind); }
