#pragma once

#include <string>

// How the store uses a connection: a source is only read, a destination written.
enum class OdbcAccess { Read, Write };

// The drivers whose keywords the store knows.
enum class OdbcDriverKind { Sqlite, Access, Other };

// What a user's "ODBC;" name reaches, read from the string and, for a data source, from the
// data source's definition.
struct OdbcTarget {
    std::string connection;  // the user's string, without "ODBC;"
    std::string shown;       // for messages: never a password, never what the program adds
    std::string dsn;         // the data source the string names, if any
    std::string driver;      // the driver it names, or its data source's driver; "" if unknown
    OdbcDriverKind kind = OdbcDriverKind::Other;
    std::string file;  // the database file of a driver whose keywords are known; "" otherwise
};

// Reads an "ODBC;" name. A malformed string is refused (3151) before any driver sees it.
OdbcTarget ResolveOdbcTarget(const std::string& name);

// The string handed to the driver. The program's own keywords come first, since a driver reads
// the first of repeated keywords: with the SQLite driver the database (a read-only URI for a
// source), NoCreat=1, and a source's result read whole so that it holds no lock between calls;
// with the Access driver ReadOnly=1 for a source. A string too long for a driver to read whole is
// refused (3151), never cut.
std::string DriverConnectionString(const OdbcTarget& target, OdbcAccess access,
                                   long long lockWaitMs);

// The longest connection string and database name the drivers are trusted to read whole: the
// SQLite driver copies them into buffers of 4,096 and 512 bytes and silently cuts the rest.
inline constexpr std::size_t kLongestConnectionString = 4095;
inline constexpr std::size_t kLongestSqliteDatabase = 511;

// The driver's name classified by the words and libraries the known drivers go by.
OdbcDriverKind DriverKindOf(const std::string& driverNameOrLibrary);

// The URI the SQLite driver opens a file with for reading only: the path as a plain path, its
// '%', '?' and '#' escaped, "mode=ro" its only parameter.
std::string SqliteReadOnlyUri(const std::string& path);
