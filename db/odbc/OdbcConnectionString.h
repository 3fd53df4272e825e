#pragma once

#include <string>
#include <vector>

// A database name that begins with "ODBC;" is an ODBC connection string, as the desktop engine
// reads such names; the rest of the name goes to the driver.
bool IsOdbcDatabaseName(const std::string& name);

// One keyword and value of a connection string, the value without its braces.
struct OdbcAttribute {
    std::string keyword;
    std::string value;
};

std::vector<OdbcAttribute> ParseConnectionString(const std::string& connection);
// The value of a keyword (any case), or "" when the string has none.
std::string AttributeValue(const std::string& connection, const std::string& keyword);
// A value as a connection string must write it: in braces when it holds ';', '{', '}' or
// leading or trailing spaces.
std::string QuoteAttributeValue(const std::string& value);

// The connection string handed to the driver for an "ODBC;" name. The engine never creates a
// database and waits a bounded time for another program's lock: with the SQLite driver that
// means NoCreat=1 and Timeout=<lock wait>, unless the name says otherwise.
std::string DriverConnectionString(const std::string& name, long long lockWaitMs);

// What messages call the database: its file (Database= or DBQ=), else its data source, else the
// string without any password.
std::string OdbcDisplayName(const std::string& connection);

// A Jet or ACE file through one of the Access drivers, logged on to the workgroup.
std::string AccessConnectionString(const std::string& driver, const std::string& path,
                                   const std::string& systemDB, const std::string& user,
                                   const std::string& password);

// The Access drivers, in the order they are tried: the one Windows carries for 32-bit programs,
// then the Access Database Engine's.
inline constexpr const char* kAccessDriver = "Microsoft Access Driver (*.mdb)";
inline constexpr const char* kAceDriver = "Microsoft Access Driver (*.mdb, *.accdb)";
