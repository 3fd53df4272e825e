#pragma once

#include <string>
#include <vector>

class StoreConnection;

// What the engine reads of a table's schema before it reads or writes the table.

// Runs a one-parameter schema query and returns its rows, each column as text.
std::vector<std::vector<std::string>> SchemaRows(StoreConnection& connection, const char* sql,
                                                 const std::string& parameter,
                                                 const std::string& table);

// The store's own collation of that name, or nullptr: collations named in a schema are data,
// and only the store's own are written into a statement.
const char* KnownCollation(const std::string& name);

// The name that reaches the row identity of a table with these columns: rowid, _rowid_ or oid,
// whichever no column shadows. A table that shadows all three is refused.
std::string RowIdentityName(const std::vector<std::string>& columns, const std::string& table,
                            const std::string& file);

// Refuses a file that keeps its text as UTF-16: bytes that are no text of the system code page
// would become one replacement character there, and two different keys one key.
void CheckWritableTextEncoding(StoreConnection& connection, const std::string& table);

// Refuses a table with triggers. This engine never runs a database's triggers (they are code the
// file carries, and could write elsewhere or run without end), and writing the table without
// them would quietly skip what its owner meant them to do.
void RefuseTriggers(StoreConnection& connection, const std::string& table);

// The unique index a key clash violated, named as the engine names it (the table's primary key
// is PrimaryKey), and the columns of its key; found from the store's message.
struct ViolatedIndex {
    std::string name;
    std::vector<std::string> columns;
};
ViolatedIndex FindViolatedIndex(StoreConnection& connection, const std::string& table,
                                const std::string& message);
