#include "tests/support/TestDatabases.h"

#include <sqlite3.h>

#include <stdexcept>

#include "tests/support/TempDir.h"

namespace {

void Check(sqlite3* db, int rc, const std::string& what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
    }
}

}  // namespace

TestDb::TestDb(const std::string& path) {
    int rc =
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Check(m_db, rc, "open " + path);
    sqlite3_busy_timeout(m_db, 5000);
}

TestDb::~TestDb() { sqlite3_close(m_db); }

void TestDb::Exec(const std::string& sql) {
    Check(m_db, sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr), sql);
}

void TestDb::ExecFile(const std::string& path) { Exec(ReadFileBytes(path)); }

void TestDb::Run(const std::string& sql, const std::vector<const char*>& params) {
    sqlite3_stmt* stmt = nullptr;
    Check(m_db, sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr), sql);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        if (params[i] == nullptr) {
            sqlite3_bind_null(stmt, index);
        } else {
            sqlite3_bind_text(stmt, index, params[i], -1, SQLITE_TRANSIENT);
        }
    }
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    Check(m_db, rc, sql);
}

std::vector<std::string> TestDb::Rows(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    Check(m_db, sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr), sql);
    std::vector<std::string> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (c > 0) row += '|';
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                row += "<null>";
            } else {
                row.append(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    Check(m_db, rc, sql);
    return rows;
}

int64_t TestDb::Count(const std::string& table) {
    return std::stoll(Rows("SELECT count(*) FROM [" + table + "]").at(0));
}

std::string ResFile(const std::string& name) {
    return std::string(TALLOWMERE_RES_DIR) + "/" + name;
}

void CreateSourceDb(const std::string& path) {
    TestDb(path).ExecFile(ResFile("source-schema.sql"));
}

void CreateDestinationDb(const std::string& path) {
    TestDb(path).ExecFile(ResFile("destination-schema.sql"));
}

void AddSourceCategory(TestDb& db, const char* categoryId, const char* description) {
    const std::string guid = "guid-" + std::to_string(db.Count("tblPhraseCategory") + 1);
    db.Run("INSERT INTO tblPhraseCategory (s_GUID, CategoryID, Description) VALUES (?, ?, ?)",
           {guid.c_str(), categoryId, description});
}

void AddNumberedGlossary(const std::string& sourcePath, int phrases) {
    TestDb db(sourcePath);
    AddSourceCategory(db, "K{1}", "Greetings");
    db.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
            std::to_string(phrases) +
            ") INSERT INTO tblPhraseItem SELECT printf('P%06d', i), 'm', "
            "'{\\rtf1 Phrase ' || i || '\\par}' FROM n");
    db.Exec("INSERT INTO tblPhraseRelation SELECT ItemID, 'K{1}' FROM tblPhraseItem");
}

void AddSourceItem(TestDb& db, const char* itemId, const char* shortDescription,
                   const char* fullDescription, const std::vector<const char*>& categories) {
    db.Run("INSERT INTO tblPhraseItem (ItemID, ShortDescription, FullDescription) VALUES (?, ?, ?)",
           {itemId, shortDescription, fullDescription});
    for (const char* category : categories) {
        db.Run("INSERT INTO tblPhraseRelation (ItemID, CategoryID) VALUES (?, ?)",
               {itemId, category});
    }
}

void AddDestinationCategory(TestDb& db, const char* categoryId, const char* description,
                            const char* strCategoryId) {
    db.Run("INSERT INTO tblCategory (CategoryID, Description, strCategoryID) VALUES (?, ?, ?)",
           {categoryId, description, strCategoryId});
}

void AddDestinationPhrase(TestDb& db, const char* phraseId, const char* categoryId,
                          const char* data) {
    db.Run("INSERT INTO tblPhrase (PhraseID, CategoryID, Data) VALUES (?, ?, ?)",
           {phraseId, categoryId, data});
}
