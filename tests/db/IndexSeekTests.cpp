// A seek goes through the index it selected, whatever planner statistics the file stores.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "db/StoreFileCheck.h"
#include "db/sqlite/StoreConnection.h"
#include "records/CDstTblPhrase.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

constexpr int kRows = 20000;
constexpr int kSeeks = 100;

// Steps of every statement the engine holds on the file since the last call.
int64_t StepsSinceLastCall(sqlite3* db) {
    int64_t steps = 0;
    for (sqlite3_stmt* stmt = sqlite3_next_stmt(db, nullptr); stmt != nullptr;
         stmt = sqlite3_next_stmt(db, stmt)) {
        steps += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_VM_STEP, 1);
    }
    return steps;
}

TEST(IndexSeek, StoredPlannerStatisticsCannotTurnASeekIntoAScan) {
    UseTestEngineSettings();
    TempDir dir;
    const std::string path = dir.File("destination.db");
    {
        // A phrase table whose key is an index of that name, not unique to the store.
        std::string schema = ReadFileBytes(ResFile("destination-schema.sql"));
        const std::string key = "NOT NULL PRIMARY KEY,\n    CategoryID";
        ASSERT_NE(schema.find(key), std::string::npos);
        schema.replace(schema.find(key), key.size(), "NOT NULL,\n    CategoryID");
        TestDb db(path);
        db.Exec(schema);
        db.Exec("CREATE INDEX PrimaryKey ON tblPhrase (PhraseID)");
        db.Exec(
            "INSERT INTO tblPhrase (PhraseID, Data) WITH RECURSIVE n(i) AS (SELECT 1 UNION "
            "ALL SELECT i + 1 FROM n WHERE i < " +
            std::to_string(kRows) + ") SELECT 'P' || i, 'text' FROM n");
        // Statistics that claim every key matches every row, so the index looks useless and the
        // store's planner would scan the table for each seek.
        db.Exec("ANALYZE");
        db.Exec("UPDATE sqlite_stat1 SET stat = '" + std::to_string(kRows) + " " +
                std::to_string(kRows) + "' WHERE idx = 'PrimaryKey'");
    }
    CDstTblPhrase phrases;
    phrases.SetDBPath(path);
    phrases.Open();
    phrases.SetCurrentIndex("PrimaryKey");
    // The engine's own connection to the file, shared with the recordset.
    std::shared_ptr<StoreConnection> connection =
        StoreConnection::Acquire(CheckStoreFile(path), StoreConnection::Access::Write);
    StepsSinceLastCall(connection->Handle());

    int found = 0;
    for (int i = 0; i < kSeeks; ++i) {
        const COleVariant key("p" + std::to_string(kRows - i), VT_BSTRT);
        found += phrases.Seek("=", &key) ? 1 : 0;
    }
    const COleVariant missing(std::string("absent"), VT_BSTRT);
    EXPECT_FALSE(phrases.Seek("=", &missing));
    const int64_t steps = StepsSinceLastCall(connection->Handle());
    EXPECT_EQ(found, kSeeks);
    // A seek through the index takes a few dozen steps; a scan takes some for every row.
    EXPECT_LT(steps, (kSeeks + 1) * 100) << "steps for " << kSeeks + 1 << " seeks";
    StoreConnection::Release(connection);
    phrases.Close();
}

}  // namespace
