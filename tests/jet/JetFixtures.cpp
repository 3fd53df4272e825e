#include "tests/jet/JetFixtures.h"

#include <sqlite3.h>

#include <filesystem>

std::string JetFixture(const std::string& name) {
    const std::filesystem::path path = std::filesystem::path(TALLOWMERE_JET_FIXTURES) / name;
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path.lexically_normal().string()
                                                         : std::string();
}

std::vector<std::string> TypedRows(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
        return {};
    }
    std::vector<std::string> rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            static const char* const kTypes[] = {"", "i:", "r:", "t:", "b:", "n:"};
            row += (c > 0 ? "|" : "") + std::string(kTypes[sqlite3_column_type(stmt, c)]);
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL) continue;
            row.append(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    return rows;
}

std::vector<std::string> SourceTables(sqlite3* db) {
    std::vector<std::string> all;
    for (const char* sql :
         {"SELECT Gen_Tag, s_Generation, s_GUID, s_Lineage, CategoryID, Description, Parent, "
          "ZOrder, GUID, Tag, Glossary, RecordID, ReplicationModified FROM tblPhraseCategory "
          "ORDER BY s_GUID",
          "SELECT ItemID, ShortDescription, FullDescription FROM tblPhraseItem ORDER BY ItemID",
          "SELECT ItemID, CategoryID FROM tblPhraseRelation ORDER BY ItemID, CategoryID"}) {
        for (std::string& row : TypedRows(db, sql)) all.push_back(std::move(row));
    }
    return all;
}
