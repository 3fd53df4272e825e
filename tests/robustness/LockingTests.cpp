// Another program's locks, read-only files and folders, and one file given as both databases.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "db/DaoEngine.h"
#include "tests/robustness/Robustness.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

using std::chrono::milliseconds;
namespace fs = std::filesystem;

constexpr milliseconds kLockWait(300);

// Another process holding a lock on a database file until it is let go.
class LockHolder {
public:
    LockHolder(const std::string& path, const std::string& sql) {
        int ready[2];
        int release[2];
        if (pipe(ready) != 0 || pipe(release) != 0) throw std::runtime_error("pipe");
        m_pid = fork();
        if (m_pid == 0) {
            close(ready[0]);
            close(release[1]);
            sqlite3* db = nullptr;
            char status = 'L';
            if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
                sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
                status = 'E';
            }
            if (write(ready[1], &status, 1) != 1) _exit(3);
            char ignored;
            if (read(release[0], &ignored, 1) < 0) _exit(4);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            _exit(status == 'L' ? 0 : 2);
        }
        close(ready[1]);
        close(release[0]);
        m_release = release[1];
        char status = 0;
        m_locked = read(ready[0], &status, 1) == 1 && status == 'L';
        close(ready[0]);
    }
    ~LockHolder() { Release(); }

    bool Locked() const { return m_locked; }
    void Release() {
        if (m_pid <= 0) return;
        close(m_release);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_locked = false;
};

class Robustness : public ::testing::Test {
protected:
    void SetUp() override {
        AfxDaoInit();
        AfxDaoGetEngine()->SetLockWait(kLockWait);
        AfxDaoGetEngine()->SetWriteGroupInterval(milliseconds(500));
        m_source = m_dir.File("source.db");
        m_destination = m_dir.File("destination.db");
        MakeSmallGlossary(m_source, m_destination);
    }

    // What converting fresh copies of the two databases gives: the result to compare with.
    std::vector<std::string> ConvertedCopy() {
        TempDir copies;
        fs::copy_file(m_source, copies.File("s.db"));
        fs::copy_file(m_destination, copies.File("d.db"));
        const ConsoleRun run = ConvertInProcess(copies.File("s.db"), copies.File("d.db"));
        EXPECT_EQ(run.status, 0) << run.err;
        return DestinationContent(copies.File("d.db"));
    }

    TempDir m_dir;
    std::string m_source;
    std::string m_destination;
};

struct LockCase {
    const char* name;
    bool onSource;    // else the destination is the locked one
    const char* sql;  // what the other program does and keeps open
    int daoCode;
};

const LockCase kLockCases[] = {
    // Reading is still allowed; the first write meets the lock.
    {"DestinationBeingWritten", false,
     "BEGIN IMMEDIATE; UPDATE tblPhrase SET Data = 'theirs' WHERE PhraseID = 'OLD1'", 3218},
    {"DestinationHeldExclusively", false, "BEGIN EXCLUSIVE", 3045},
    {"SourceHeldExclusively", true, "BEGIN EXCLUSIVE", 3045},
};

TEST_F(Robustness, AnotherProgramsLockGivesALockingErrorAfterTheBoundedWaitAndWritesNothing) {
    for (const LockCase& lock : kLockCases) {
        SCOPED_TRACE(lock.name);
        const std::string locked = lock.onSource ? m_source : m_destination;
        const std::string sourceBytes = ReadFileBytes(m_source);
        const std::string destinationBytes = ReadFileBytes(m_destination);

        LockHolder holder(locked, lock.sql);
        ASSERT_TRUE(holder.Locked());
        const auto start = std::chrono::steady_clock::now();
        const ConsoleRun run = ConvertInProcess(m_source, m_destination);
        const auto waited = std::chrono::steady_clock::now() - start;
        holder.Release();

        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(DaoCodeIn(run.err), lock.daoCode) << run.err;
        EXPECT_NE(run.err.find("another program"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(locked), std::string::npos) << run.err;
        // It waited for the lock, and only as long as the engine allows (with room for a slow
        // machine), rather than failing at once or hanging.
        EXPECT_GE(waited, kLockWait);
        EXPECT_LT(waited, kLockWait * 20);
        EXPECT_EQ(ReadFileBytes(m_source), sourceBytes);
        EXPECT_EQ(ReadFileBytes(m_destination), destinationBytes);
        EXPECT_EQ(IntegrityCheck(m_destination), "ok");
    }
}

struct ReadOnlyCase {
    const char* name;
    bool source;  // else the destination
    bool folder;  // else the file itself
};

const ReadOnlyCase kReadOnlyCases[] = {
    {"DestinationFile", false, false},
    {"DestinationFolder", false, true},
    {"SourceFile", true, false},
    {"SourceFolder", true, true},
};

TEST_F(Robustness, ReadOnlyDestinationFailsWith3027AtTheFirstWriteAndReadOnlySourceConverts) {
    for (const ReadOnlyCase& readOnly : kReadOnlyCases) {
        SCOPED_TRACE(readOnly.name);
        TempDir dir;
        const fs::path folder = dir.Path() / "ro";
        fs::create_directories(folder);
        const std::string source =
            readOnly.source ? (folder / "source.db").string() : dir.File("source.db");
        const std::string destination =
            readOnly.source ? dir.File("destination.db") : (folder / "destination.db").string();
        fs::copy_file(m_source, source);
        fs::copy_file(m_destination, destination);
        const std::vector<std::string> expected = ConvertedCopy();
        const std::string before = ReadFileBytes(readOnly.source ? source : destination);
        const std::string untouched = ReadFileBytes(readOnly.source ? destination : source);

        // The child runs as an ordinary user, for whom the permissions hold.
        fs::permissions(dir.Path(), fs::perms::all);
        fs::permissions(source, fs::perms::all);
        fs::permissions(destination, fs::perms::all);
        fs::permissions(readOnly.source ? source : destination,
                        readOnly.folder ? fs::perms::all
                                        : fs::perms::owner_read | fs::perms::group_read |
                                              fs::perms::others_read);
        fs::permissions(folder, readOnly.folder
                                    ? fs::perms::owner_read | fs::perms::owner_exec |
                                          fs::perms::group_read | fs::perms::group_exec |
                                          fs::perms::others_read | fs::perms::others_exec
                                    : fs::perms::all);
        std::string err;
        const int status = RunInUnprivilegedChild(
            [&](std::string& out) {
                const ConsoleRun run = ConvertInProcess(source, destination);
                out = run.err;
                return run.status;
            },
            err);
        fs::permissions(folder, fs::perms::all);

        if (readOnly.source) {
            EXPECT_EQ(status, 0) << err;
            EXPECT_EQ(DestinationContent(destination), expected);
        } else {
            EXPECT_EQ(status, 1) << err;
            EXPECT_EQ(DaoCodeIn(err), 3027) << err;
            EXPECT_NE(err.find(destination), std::string::npos) << err;
            EXPECT_EQ(ReadFileBytes(destination), before);
            EXPECT_FALSE(fs::exists(destination + "-journal"));
            EXPECT_EQ(IntegrityCheck(destination), "ok");
        }
        // The source is never written, read-only or not.
        EXPECT_EQ(ReadFileBytes(source), readOnly.source ? before : untouched);
    }
}

TEST_F(Robustness, OneFileUnderAnyOfItsNamesConvertsAsTwoFilesWould) {
    // A database holding all five tables: the source's three and the destination's two.
    const std::string combined = m_dir.File("combined.db");
    fs::copy_file(m_destination, combined);
    {
        TestDb db(combined);
        db.Exec("ATTACH '" + m_source + "' AS src");
        for (const char* table : {"tblPhraseCategory", "tblPhraseItem", "tblPhraseRelation"}) {
            const std::string sql =
                TestDb(m_source)
                    .Rows(std::string("SELECT sql FROM sqlite_schema WHERE name = '") + table + "'")
                    .at(0);
            db.Exec(sql);
            db.Exec(std::string("INSERT INTO main.") + table + " SELECT * FROM src." + table);
        }
        db.Exec("DETACH src");
    }
    const std::vector<std::string> expected = ConvertedCopy();
    const std::vector<std::string> sourceBefore = SourceContent(combined);
    const std::string original = ReadFileBytes(combined);

    fs::create_directories(m_dir.Path() / "sub");
    fs::create_hard_link(combined, m_dir.File("hardlink.db"));
    const std::pair<std::string, std::string> names[] = {
        {combined, combined},
        {combined, (m_dir.Path() / "sub" / ".." / "combined.db").string()},
        {m_dir.File("hardlink.db"), combined},
    };
    for (const auto& [source, destination] : names) {
        SCOPED_TRACE(source + " -> " + destination);
        WriteFileBytes(combined, original);
        for (milliseconds group : {milliseconds(0), milliseconds(500)}) {
            AfxDaoGetEngine()->SetWriteGroupInterval(group);
            const ConsoleRun run = ConvertInProcess(source, destination);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(DestinationContent(combined), expected);
            EXPECT_EQ(SourceContent(combined), sourceBefore);
            EXPECT_EQ(IntegrityCheck(combined), "ok");
        }
    }
}

}  // namespace
