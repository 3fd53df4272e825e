// A source that another program left part way through a change: what it left beside the file is
// never played into it, and no byte of the source, its journal or its log changes.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "db/DaoEngine.h"
#include "tests/robustness/Robustness.h"
#include "tests/support/StoreKinds.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

namespace fs = std::filesystem;

// Another program changes the file and dies without closing it. Done in a child that has never
// had the file open, so nothing of this process's store state is carried into it.
void CrashWhileChanging(const std::string& path, const std::string& sql) {
    const pid_t child = fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        _exit(rc == SQLITE_OK ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Every file in the folder and its bytes.
std::map<std::string, std::string> FolderBytes(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
    }
    return files;
}

struct LeftBehind {
    const char* name;
    const char* sql;       // what the other program was doing when it died
    const char* leftFile;  // what it left beside the source
    const char* keptFile;  // the store's shared index, which readers may use
    int daoCode;           // 0: converts the last committed state
};

const LeftBehind kLeftBehind[] = {
    // Its pages spill into the file before the commit, so the file holds half a change and the
    // journal the pages it replaced.
    {"HotJournal",
     "PRAGMA cache_size = 1; BEGIN; INSERT INTO tblPhraseItem (ItemID, ShortDescription) "
     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
     "SELECT 'Torn' || i, hex(randomblob(300)) FROM n; UPDATE tblPhraseCategory SET Description = "
     "'torn'",
     "-journal", nullptr, 3049},
    // A committed change still in the log: it is part of the file's last committed state.
    {"WriteAheadLog",
     "PRAGMA journal_mode = WAL; INSERT INTO tblPhraseCategory (s_GUID, CategoryID, Description) "
     "VALUES ('g-logged', 'Logged{L-1}', 'Only in the log')",
     "-wal", "-shm", 0},
};

TEST(SourceFiles, WhatAnotherProgramLeftBesideTheSourceIsNeverPlayedIntoIt) {
    AfxDaoInit();
    for (const LeftBehind& left : kLeftBehind) {
        SCOPED_TRACE(left.name);
        TempDir dir;
        const fs::path folder = dir.Path() / "source";
        fs::create_directories(folder);
        const std::string source = (folder / "source.db").string();
        const std::string destination = dir.File("destination.db");
        MakeSmallGlossary(source, destination);
        CrashWhileChanging(source, left.sql);
        ASSERT_TRUE(fs::exists(source + left.leftFile));
        std::map<std::string, std::string> before = FolderBytes(folder);
        const std::string destinationBytes = ReadFileBytes(destination);

        const ConsoleRun run = ConvertInProcess(source, destination);

        std::map<std::string, std::string> after = FolderBytes(folder);
        if (left.keptFile != nullptr) {
            const std::string index = std::string("source.db") + left.keptFile;
            EXPECT_TRUE(after.count(index)) << index;
            before.erase(index);
            after.erase(index);
        }
        EXPECT_TRUE(before == after) << "the source or what lies beside it was changed";
        if (left.daoCode != 0) {
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_EQ(DaoCodeIn(run.err), left.daoCode) << run.err;
            EXPECT_NE(run.err.find(source), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("part way through a change"), std::string::npos) << run.err;
            EXPECT_EQ(ReadFileBytes(destination), destinationBytes);
        } else {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(
                TestDb(destination)
                    .Rows("SELECT Description FROM tblCategory WHERE CategoryID = 'Logged{L-1}'"),
                std::vector<std::string>{"Only in the log"});
        }
    }
}

// Through the SQLite ODBC driver the same source is opened for reading only too: what another
// program left is never played into it, and the run ends exactly as with the file given directly.
TEST(SourceFiles, ThroughOdbcWhatWasLeftBesideTheSourceIsNeverPlayedIntoItEither) {
    AfxDaoInit();
    for (const LeftBehind& left : kLeftBehind) {
        SCOPED_TRACE(left.name);
        TempDir dir;
        const fs::path direct = dir.Path() / "direct";
        const fs::path odbc = dir.Path() / "odbc";
        fs::create_directories(direct);
        const std::string source = (direct / "source.db").string();
        const std::string destination = dir.File("destination.db");
        MakeSmallGlossary(source, destination);
        CrashWhileChanging(source, left.sql);
        ASSERT_TRUE(fs::exists(source + left.leftFile));
        // The crashed program's files as it left them, twice: no process holds a lock on them.
        fs::copy(direct, odbc);
        fs::copy_file(destination, dir.File("destination-odbc.db"));
        std::map<std::string, std::string> before = FolderBytes(odbc);

        const ConsoleRun expected = ConvertInProcess(source, destination);
        const std::string odbcSource = (odbc / "source.db").string();
        const ConsoleRun run = ConvertInProcess(DatabaseName(StoreKind::OdbcOverSqlite, odbcSource),
                                                dir.File("destination-odbc.db"));

        std::map<std::string, std::string> after = FolderBytes(odbc);
        if (left.keptFile != nullptr) {
            const std::string index = std::string("source.db") + left.keptFile;
            before.erase(index);
            after.erase(index);
        }
        EXPECT_TRUE(before == after) << "the source or what lies beside it was changed";
        EXPECT_EQ(run.status, expected.status) << run.err;
        std::string expectedErr = expected.err;
        for (auto at = expectedErr.find(source); at != std::string::npos;
             at = expectedErr.find(source, at + odbcSource.size())) {
            expectedErr.replace(at, source.size(), odbcSource);
        }
        EXPECT_EQ(run.err, expectedErr);
        EXPECT_EQ(DestinationContent(dir.File("destination-odbc.db")),
                  DestinationContent(destination));
    }
}

}  // namespace
