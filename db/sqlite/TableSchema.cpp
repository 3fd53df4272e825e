#include "db/sqlite/TableSchema.h"

#include <sqlite3.h>

#include "db/DaoException.h"
#include "db/RecordsetCursor.h"
#include "db/sqlite/StoreConnection.h"

std::vector<std::vector<std::string>> SchemaRows(StoreConnection& connection, const char* sql,
                                                 const std::string& parameter,
                                                 const std::string& table) {
    sqlite3_stmt* stmt = connection.Prepare(sql, StoreAction::Open, table);
    sqlite3_bind_text(stmt, 1, parameter.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            row.emplace_back(text != nullptr ? text : "");
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) connection.Fail(rc, StoreAction::Open, table);
    return rows;
}

const char* KnownCollation(const std::string& name) {
    for (const char* known : {"BINARY", "NOCASE", "RTRIM"}) {
        if (SameName(name, known)) return known;
    }
    return nullptr;
}

std::string RowIdentityName(const std::vector<std::string>& columns, const std::string& table,
                            const std::string& file) {
    for (const char* name : {"rowid", "_rowid_", "oid"}) {
        bool shadowed = false;
        for (const std::string& column : columns) shadowed = shadowed || SameName(column, name);
        if (!shadowed) return name;
    }
    ThrowDaoException(DaoError::NotSupported,
                      "The table '" + table + "' in '" + file +
                          "' has columns named rowid, _rowid_ and oid, which hide the identity "
                          "of its rows; this engine cannot write to it.");
}

void CheckWritableTextEncoding(StoreConnection& connection, const std::string& table) {
    const auto encoding =
        SchemaRows(connection, "SELECT * FROM pragma_encoding WHERE ?1 = ?1", std::string(), table);
    if (encoding.empty() || encoding[0].empty() || encoding[0][0] == "UTF-8") return;
    ThrowDaoException(DaoError::NotSupported,
                      "The database '" + connection.Path() + "' keeps its text as " +
                          encoding[0][0] +
                          "; this engine writes only to databases that keep text as UTF-8, so "
                          "that no two different keys can become one.");
}

void RefuseTriggers(StoreConnection& connection, const std::string& table) {
    const auto triggers = SchemaRows(
        connection,
        "SELECT name FROM sqlite_schema WHERE type = 'trigger' AND tbl_name = ?1 COLLATE NOCASE "
        "ORDER BY name",
        table, table);
    if (triggers.empty() || triggers[0].empty()) return;
    ThrowDaoException(DaoError::NotSupported,
                      "The table '" + table + "' in '" + connection.Path() + "' has the trigger '" +
                          triggers[0][0] +
                          "', which this program does not run; it converts only into tables "
                          "without triggers. Nothing was written. Convert into a copy of the "
                          "database without the trigger instead.");
}

namespace {

// "tbl.a, tbl.b" after the store's "constraint failed: " as the columns a, b; an index on
// expressions is named instead, as "index 'name'".
std::vector<std::string> ColumnsInMessage(const std::string& message, const std::string& table,
                                          std::string& indexName) {
    std::vector<std::string> columns;
    const std::string marker = "constraint failed: ";
    auto at = message.find(marker);
    if (at == std::string::npos) return columns;
    std::string list = message.substr(at + marker.size());
    if (list.rfind("index '", 0) == 0) {
        indexName = list.substr(7, list.rfind('\'') - 7);
        return columns;
    }
    const std::string prefix = table + ".";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(", ", start);
        if (end == std::string::npos) end = list.size();
        std::string column = list.substr(start, end - start);
        if (column.size() > prefix.size() && SameName(column.substr(0, prefix.size()), prefix)) {
            column = column.substr(prefix.size());
        }
        columns.push_back(column);
        start = end + 2;
    }
    return columns;
}

bool SameColumns(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!SameName(a[i], b[i])) return false;
    }
    return true;
}

}  // namespace

ViolatedIndex FindViolatedIndex(StoreConnection& connection, const std::string& table,
                                const std::string& message) {
    ViolatedIndex violated;
    std::string indexName;
    violated.columns = ColumnsInMessage(message, table, indexName);
    for (const auto& index : SchemaRows(
             connection, "SELECT name, origin FROM pragma_index_list(?1) WHERE \"unique\" = 1",
             table, table)) {
        std::vector<std::string> columns;
        for (const auto& key : SchemaRows(
                 connection, "SELECT coalesce(name, '') FROM pragma_index_info(?1) ORDER BY seqno",
                 index[0], table)) {
            columns.push_back(key[0]);
        }
        if (index[0] == indexName ||
            (indexName.empty() && SameColumns(columns, violated.columns))) {
            violated.name = index[1] == "pk" ? "PrimaryKey" : index[0];
            if (violated.columns.empty()) violated.columns = columns;
            return violated;
        }
    }
    // An INTEGER PRIMARY KEY is the row identity and has no index of its own.
    violated.name = indexName.empty() ? "PrimaryKey" : indexName;
    return violated;
}
