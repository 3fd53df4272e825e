#pragma once

#include <string>
#include <vector>

// A database name that begins with "ODBC;" is an ODBC connection string, as the desktop engine
// reads such names; the rest of the name goes to the driver.
bool IsOdbcDatabaseName(const std::string& name);
// The connection string of an "ODBC;" name (the name itself otherwise).
std::string OdbcConnectionOf(const std::string& name);

// One keyword and value of a connection string, the value without its braces.
struct OdbcAttribute {
    std::string keyword;
    std::string value;
};

std::vector<OdbcAttribute> ParseConnectionString(const std::string& connection);
// The keyword of a braced value that is never closed, or "" when every brace is closed. A driver
// would read the rest of the string, and whatever follows, as that one value.
std::string UnclosedBraceKeyword(const std::string& connection);
// The value of a keyword (any case), or "" when the string has none.
std::string AttributeValue(const std::string& connection, const std::string& keyword);
bool HasKeyword(const std::string& connection, const std::string& keyword);
// A value as a connection string must write it: in braces when it holds ';', '{', '}' or
// leading or trailing spaces.
std::string QuoteAttributeValue(const std::string& value);

// The text with the value of every PWD or Password keyword replaced by "***", wherever it
// stands, whatever the case and the spacing around '=', and however malformed the rest.
std::string MaskPasswords(const std::string& text);

// What messages call the database of a user's connection string: its file (Database= or DBQ=),
// else its data source, else the string; never a password, and never more than a few lines.
std::string OdbcDisplayName(const std::string& connection);
std::string ShortenedForMessages(const std::string& text);

// A Jet or ACE file through one of the Access drivers, logged on to the workgroup; read only
// (the driver's ReadOnly keyword) for a source.
std::string AccessConnectionString(const std::string& driver, const std::string& path,
                                   const std::string& systemDB, const std::string& user,
                                   const std::string& password, bool readOnly = false);

// The Access drivers, in the order they are tried for an .mdb file: the one Windows carries for
// 32-bit programs, then the Access Database Engine's (the only one that opens .accdb files).
inline constexpr const char* kAccessDriver = "Microsoft Access Driver (*.mdb)";
inline constexpr const char* kAceDriver = "Microsoft Access Driver (*.mdb, *.accdb)";
