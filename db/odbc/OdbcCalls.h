#pragma once

#include <string>

#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcError.h"

// Every ODBC call that carries text (connection strings, SQL, names, messages, text values)
// goes through here, narrow or wide as the platform needs:
// - On Windows the wide (UTF-16) entry points, so that non-ASCII paths and text never depend
//   on the code page a driver honours: the driver manager hands UTF-16 to a Unicode driver and
//   converts for an ANSI one itself.
// - Elsewhere (unixODBC) the narrow ones: UTF-8 is the system code page and the SQLite driver's
//   own encoding, byte for byte, while unixODBC turns a wide call for a driver without wide
//   entry points (Debian's SQLite driver has none) into the locale's code page, which loses
//   every non-ASCII character of the SQL and the connection string.
bool OdbcWideCalls();
// For tests that reach the wide path on this platform through a driver with wide entry points.
void UseOdbcWideCalls(bool wide);

SQLRETURN DriverConnectText(SQLHDBC dbc, const std::string& connection);
SQLRETURN PrepareText(SQLHSTMT stmt, const std::string& sql);
SQLRETURN ExecDirectText(SQLHSTMT stmt, const std::string& sql);

// Catalogue calls on one table (a pattern, as the catalogue reads names).
enum class OdbcCatalog { Tables, Columns, PrimaryKeys, Statistics };
SQLRETURN CatalogText(SQLHSTMT stmt, OdbcCatalog catalog, const std::string& table);

SQLRETURN ColumnNameText(SQLHSTMT stmt, SQLUSMALLINT column, std::string& name);
// A diagnostic record (from 1); false when there is none.
bool DiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record,
                    OdbcDiagnostic& diagnostic);
// A text the driver reports about itself; "" when it reports none.
std::string InfoText(SQLHDBC dbc, SQLUSMALLINT infoType);

// The C type text values are bound and read as, and the size of its terminator.
SQLSMALLINT TextCType();
std::size_t TextTerminator();
// A text value as the bytes bound for TextCType(), and back.
std::string TextValueBytes(const std::string& text);
std::string TextFromValueBytes(const std::string& bytes);
