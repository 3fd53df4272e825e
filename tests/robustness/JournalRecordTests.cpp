// Rollback journal records gathered into few writes: what a crash mid-transaction leaves on disk
// must still put the file back, and the records must take far fewer writes than one each.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "db/sqlite/JournalRecordVfs.h"
#include "tests/robustness/FaultVfs.h"
#include "tests/robustness/Robustness.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

class Db {
public:
    Db(const std::string& path, const char* vfs) {
        EXPECT_EQ(
            sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, vfs),
            SQLITE_OK);
    }
    ~Db() { sqlite3_close_v2(m_db); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    void Exec(const std::string& sql) {
        char* error = nullptr;
        const int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error != nullptr ? error : "";
        sqlite3_free(error);
        ASSERT_EQ(rc, SQLITE_OK) << sql << ": " << message;
    }
    std::string Text(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr);
        std::string value;
        if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0) != nullptr) {
            value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        }
        sqlite3_finalize(stmt);
        return value;
    }

private:
    sqlite3* m_db = nullptr;
};

// The file and its journal copied as they stand, as a crash at this moment would leave them.
void CopyAsACrashLeavesIt(const std::string& path, const std::string& copy) {
    fs::copy_file(path, copy);
    fs::copy_file(path + "-journal", copy + "-journal");
}

constexpr const char* kContent = "SELECT sum(length(v)) || ':' || sum(unicode(v)) FROM t";

// About 2 MB in 4 KiB pages: many more pages than the ten-page cache below holds.
void MakeTable(const std::string& path) {
    Db db(path, nullptr);
    db.Exec(
        "PRAGMA page_size = 4096; CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
        " INSERT INTO t SELECT i, printf('%.*c', 700 + i % 300, char(65 + i % 26)) FROM n;");
}

struct JournalCase {
    const char* journalMode;
    const char* synchronous;
};

class JournalCaughtMidTransaction : public ::testing::TestWithParam<JournalCase> {};

// The journal and file copied mid-transaction are what a crash at that moment leaves: pages of
// the file already overwritten, the journal holding what they were.
TEST_P(JournalCaughtMidTransaction, PutsTheFileBackAndTheRunStillCommits) {
    TempDir dir;
    const std::string path = dir.File("glossary.db");
    MakeTable(path);
    const std::string before = Db(path, nullptr).Text(kContent);
    const std::string bytesBefore = ReadFileBytes(path);

    Db db(path, JournalRecordVfsName());
    db.Exec(std::string("PRAGMA journal_mode = ") + GetParam().journalMode +
            "; PRAGMA synchronous = " + GetParam().synchronous + "; PRAGMA cache_size = 10;");
    db.Exec(
        "BEGIN; UPDATE t SET v = lower(v) || 'x' WHERE id % 2 = 0; UPDATE t SET v = 'short'"
        " WHERE id % 3 = 0;");
    ASSERT_NE(ReadFileBytes(path), bytesBefore)
        << "the cache spilled nothing to the file, so the copy tests nothing";

    const std::string crashed = dir.File("crashed.db");
    CopyAsACrashLeavesIt(path, crashed);
    EXPECT_EQ(Db(crashed, nullptr).Text(kContent), before);
    EXPECT_EQ(IntegrityCheck(crashed), "ok");

    // Rolling back reads the journal through the same connection.
    db.Exec("ROLLBACK");
    EXPECT_EQ(db.Text(kContent), before);
    db.Exec("BEGIN; UPDATE t SET v = 'same' WHERE id <= 1500; COMMIT;");
    const std::string after = db.Text(kContent);
    EXPECT_NE(after, before);
    EXPECT_EQ(Db(path, nullptr).Text(kContent), after);
    EXPECT_EQ(IntegrityCheck(path), "ok");
}

INSTANTIATE_TEST_SUITE_P(
    ModesAndSyncs, JournalCaughtMidTransaction,
    ::testing::Values(JournalCase{"DELETE", "FULL"}, JournalCase{"PERSIST", "FULL"},
                      JournalCase{"PERSIST", "NORMAL"}, JournalCase{"TRUNCATE", "OFF"},
                      JournalCase{"DELETE", "OFF"}),
    [](const ::testing::TestParamInfo<JournalCase>& info) {
        return std::string(info.param.journalMode) + "_" + info.param.synchronous;
    });

// Writes that reach the layer beneath for one update that journals every page of the table.
int64_t WritesFor(const std::string& path, const char* vfs, FaultVfs& counter) {
    Db db(path, vfs);
    db.Exec("PRAGMA cache_size = 10");
    counter.Count();
    db.Exec("BEGIN; UPDATE t SET v = v || 'y'; COMMIT;");
    counter.Stop();
    return counter.Operations(FaultOp::Write);
}

TEST(JournalRecords, GoOutGatheredIntoFewWrites) {
    TempDir dir;
    MakeTable(dir.File("plain.db"));
    fs::copy_file(dir.File("plain.db"), dir.File("records.db"));
    FaultVfs counter;  // the default while it lives, so both connections write through it
    const int64_t plain = WritesFor(dir.File("plain.db"), nullptr, counter);
    const int64_t records = WritesFor(dir.File("records.db"), JournalRecordVfsName(), counter);
    const int64_t pages = std::stoll(Db(dir.File("plain.db"), nullptr).Text("PRAGMA page_count"));
    // Each page is written back once either way. Its record took three writes (number, page,
    // checksum); gathered, a write carries many records, even with this small a cache.
    EXPECT_GE(plain, 4 * (pages - 5)) << plain << " writes for " << pages << " pages";
    EXPECT_LE(records, pages + pages / 2) << records << " writes for " << pages << " pages";
    EXPECT_EQ(Db(dir.File("plain.db"), nullptr).Text(kContent),
              Db(dir.File("records.db"), nullptr).Text(kContent));
}

// Two stores written at once in one process: each journal waits on its own database only.
TEST(JournalRecords, OfTwoFilesWrittenAtOnceEachPutTheirOwnFileBack) {
    TempDir dir;
    const std::string first = dir.File("first.db");
    const std::string second = dir.File("second.db");
    MakeTable(first);
    fs::copy_file(first, second);
    const std::string before = Db(first, nullptr).Text(kContent);
    const std::string bytesBefore = ReadFileBytes(first);

    Db a(first, JournalRecordVfsName());
    Db b(second, JournalRecordVfsName());
    for (Db* db : {&a, &b}) {
        db->Exec("PRAGMA synchronous = OFF; PRAGMA cache_size = 10; BEGIN;");
    }
    // The two change different pages, so a journal that waited on the other file's pages would
    // leave its own changed on disk before their records. Each is copied as it stands after each
    // of its own changes, before the other file is touched again.
    std::vector<std::string> crashed;
    const auto crashCopy = [&](const std::string& path) {
        crashed.push_back(path + "." + std::to_string(crashed.size()));
        CopyAsACrashLeavesIt(path, crashed.back());
    };
    for (int slice = 0; slice < 5; ++slice) {
        const std::string rows = " id % 5 = " + std::to_string(slice);
        a.Exec("UPDATE t SET v = upper(v) || 'a' WHERE id <= 1000 AND" + rows);
        crashCopy(first);
        b.Exec("UPDATE t SET v = 'b' WHERE id > 1000 AND" + rows);
        crashCopy(second);
    }
    ASSERT_NE(ReadFileBytes(first), bytesBefore) << "nothing spilled to the file";
    ASSERT_NE(ReadFileBytes(second), bytesBefore) << "nothing spilled to the file";
    for (const std::string& copy : crashed) {
        EXPECT_EQ(Db(copy, nullptr).Text(kContent), before) << copy;
        EXPECT_EQ(IntegrityCheck(copy), "ok") << copy;
    }
    a.Exec("COMMIT");
    b.Exec("ROLLBACK");
    EXPECT_NE(Db(first, nullptr).Text(kContent), before);
    EXPECT_EQ(Db(second, nullptr).Text(kContent), before);
}

// A file kept locked between transactions is not unlocked after a commit. Without a sync, the
// commit rests on the write that zeroes the journal's header, which must be in the file as soon
// as COMMIT returns, before the connection does anything else.
TEST(JournalRecords, ACommitIsInTheFilesWhenItReturns) {
    TempDir dir;
    const std::string path = dir.File("glossary.db");
    MakeTable(path);
    Db db(path, JournalRecordVfsName());
    db.Exec(
        "PRAGMA locking_mode = EXCLUSIVE; PRAGMA journal_mode = PERSIST;"
        " PRAGMA synchronous = OFF; PRAGMA cache_size = 10;");
    db.Exec("BEGIN; UPDATE t SET v = 'committed' WHERE id <= 1000; COMMIT;");
    const std::string crashed = dir.File("crashed.db");
    CopyAsACrashLeavesIt(path, crashed);

    EXPECT_EQ(Db(crashed, nullptr).Text(kContent), db.Text(kContent));
    EXPECT_EQ(IntegrityCheck(crashed), "ok");
}

}  // namespace
