// Every write, sync, lock, truncation, journal removal and journal opening of a small conversion
// is failed once, one run per point, the way a failing disk or a full file system fails them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <vector>

#include "db/DaoEngine.h"
#include "tests/robustness/FaultVfs.h"
#include "tests/robustness/Robustness.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

using std::chrono::milliseconds;

struct FaultKind {
    const char* name;
    FaultOp op;
    int resultCode;
    bool sticky;
    std::vector<int> daoCodes;  // the numbers the user may be shown for it
};

const FaultKind kFaultKinds[] = {
    {"WriteIoError", FaultOp::Write, SQLITE_IOERR_WRITE, false, {3043}},
    {"DiskFull", FaultOp::Write, SQLITE_FULL, false, {3026}},
    {"SyncIoError", FaultOp::Sync, SQLITE_IOERR_FSYNC, false, {3043}},
    {"LockIoError", FaultOp::Lock, SQLITE_IOERR_LOCK, false, {3043}},
    // Another program takes the lock at that moment and keeps it.
    {"LockTaken", FaultOp::Lock, SQLITE_BUSY, true, {3218, 3045}},
    {"TruncateIoError", FaultOp::Truncate, SQLITE_IOERR_TRUNCATE, false, {3043}},
    {"JournalDeleteIoError", FaultOp::Delete, SQLITE_IOERR_DELETE, false, {3043}},
    // A write-ahead log is opened with the file, so its failure is met on opening it.
    {"JournalCannotOpen", FaultOp::JournalOpen, SQLITE_CANTOPEN, false, {3027, 3044}},
};

struct Injection {
    const FaultKind* kind;
    milliseconds writeGroup;
    bool wal;  // a destination kept in write-ahead-log mode, as some users' files are
};

void PrintTo(const Injection& injection, std::ostream* out) {
    *out << injection.kind->name << ", groups of " << injection.writeGroup.count() << " ms"
         << (injection.wal ? ", log mode" : "");
}

std::string Name(const ::testing::TestParamInfo<Injection>& info) {
    return std::string(info.param.kind->name) + "_Group" +
           std::to_string(info.param.writeGroup.count()) + "ms" + (info.param.wal ? "_Wal" : "");
}

std::vector<Injection> AllInjections() {
    std::vector<Injection> all;
    for (const FaultKind& kind : kFaultKinds) {
        // Zero commits every update, so every commit of the run is a point too; the default
        // groups the whole small run into one transaction.
        // A rollback journal is deleted, never truncated: truncation only happens to a log.
        for (milliseconds group : {milliseconds(0), milliseconds(500)}) {
            if (kind.op != FaultOp::Truncate) all.push_back({&kind, group, false});
        }
        all.push_back({&kind, milliseconds(0), true});
    }
    return all;
}

int FailureCount() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

bool Contains(const std::vector<int>& codes, int code) {
    for (int c : codes) {
        if (c == code) return true;
    }
    return false;
}

class FaultInjection : public ::testing::TestWithParam<Injection> {
protected:
    void SetUp() override {
        AfxDaoInit();
        // A taken lock is met at every later step of the run; a short wait keeps the loop quick.
        AfxDaoGetEngine()->SetLockWait(GetParam().kind->sticky ? milliseconds(20)
                                                               : milliseconds(200));
        AfxDaoGetEngine()->SetWriteGroupInterval(GetParam().writeGroup);
    }
    void TearDown() override {
        AfxDaoGetEngine()->SetWriteGroupInterval(milliseconds(500));
        AfxDaoGetEngine()->SetLockWait(milliseconds(200));
    }
};

TEST_P(FaultInjection, EveryPointIsReportedAndLeavesBothDatabasesSound) {
    const FaultKind& kind = *GetParam().kind;
    TempDir dir;
    const std::string source = dir.File("source.db");
    const std::string original = dir.File("original.db");
    const std::string destination = dir.File("destination.db");
    MakeSmallGlossary(source, original);
    if (GetParam().wal) TestDb(original).Exec("PRAGMA journal_mode = WAL");
    const std::string sourceBytes = ReadFileBytes(source);
    const std::string originalBytes = ReadFileBytes(original);

    FaultVfs vfs;
    WriteFileBytes(destination, originalBytes);
    vfs.Count();
    const ConsoleRun undisturbed = ConvertInProcess(source, destination);
    vfs.Stop();
    ASSERT_EQ(undisturbed.status, 0) << undisturbed.err;
    const std::vector<std::string> expected = DestinationContent(destination);
    const int64_t points = vfs.Operations(kind.op);
    ASSERT_GT(points, 0);

    int64_t fired = 0;
    int64_t survived = 0;
    int64_t absorbed = 0;  // failures the store recovered from without losing anything
    int failures = 0;
    for (int64_t n = 1; n <= points && failures < 5; ++n) {
        SCOPED_TRACE(std::string(kind.name) + " at point " + std::to_string(n) + " of " +
                     std::to_string(points));
        const int failuresBefore = FailureCount();
        for (const char* leftover : {"-journal", "-wal", "-shm"}) {
            std::filesystem::remove(destination + leftover);
        }
        WriteFileBytes(destination, originalBytes);

        vfs.Arm(kind.op, n, kind.resultCode, kind.sticky);
        const ConsoleRun run = ConvertInProcess(source, destination);
        const bool hit = vfs.Failed() > 0;
        vfs.Stop();

        if (hit) ++fired;
        if (hit && run.status != 0) {
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_TRUE(Contains(kind.daoCodes, DaoCodeIn(run.err))) << run.err;
            EXPECT_TRUE(run.err.find(destination) != std::string::npos ||
                        run.err.find(source) != std::string::npos)
                << "the message names no file: " << run.err;
        } else {
            // A success must be a whole one: a write-ahead log whose closing checkpoint failed
            // still holds every committed change, and the next opener takes them from it (and a
            // run whose timing grouped its writes differently may never reach the point).
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err, "");
            EXPECT_EQ(DestinationContent(destination), expected);
            if (hit) ++absorbed;
        }
        EXPECT_EQ(IntegrityCheck(destination), "ok");
        EXPECT_EQ(ReadFileBytes(source), sourceBytes);

        const ConsoleRun rerun = ConvertInProcess(source, destination);
        EXPECT_EQ(rerun.status, 0) << rerun.err;
        EXPECT_EQ(DestinationContent(destination), expected);
        EXPECT_EQ(ReadFileBytes(source), sourceBytes);

        if (FailureCount() > failuresBefore) {
            ++failures;
        } else if (hit) {
            ++survived;
        }
    }
    std::cout << "[ figures  ] " << kind.name << " group " << GetParam().writeGroup.count() << " ms"
              << (GetParam().wal ? " wal" : "") << ": " << points << " points tried, " << fired
              << " faults injected, " << survived << " survived (" << absorbed
              << " of them absorbed by the store with the run complete)\n";
    RecordProperty("points", static_cast<int>(points));
    RecordProperty("injected", static_cast<int>(fired));
    RecordProperty("survived", static_cast<int>(survived));
    EXPECT_EQ(survived, fired);
}

INSTANTIATE_TEST_SUITE_P(AllPoints, FaultInjection, ::testing::ValuesIn(AllInjections()), Name);

}  // namespace

// An engine error ends the run in pass 2; closing then commits the categories pass 1 wrote. When
// that commit fails too, the user hears of both, the first error first, and the destination is
// left as it was before the run.
TEST(FaultAfterAnError, AFailedClosingCommitIsReportedAfterTheError) {
    AfxDaoInit();
    TempDir dir;
    const std::string source = dir.File("source.db");
    const std::string original = dir.File("original.db");
    const std::string destination = dir.File("destination.db");
    MakeSmallGlossary(source, original);
    // Pass 2 seeks P2 and cannot read it.
    TestDb(original).Exec("UPDATE tblPhrase SET ZOrder = 'abc' WHERE PhraseID = 'P2'");
    const std::string originalBytes = ReadFileBytes(original);

    FaultVfs vfs;
    WriteFileBytes(destination, originalBytes);
    vfs.Count();
    const ConsoleRun plain = ConvertInProcess(source, destination);
    vfs.Stop();
    ASSERT_EQ(DaoCodeIn(plain.err), 3421) << plain.err;
    // A small run is one write group: its only commit, and so its syncs, come at the close.
    ASSERT_GT(vfs.Operations(FaultOp::Sync), 0);

    std::filesystem::remove(destination + "-journal");
    WriteFileBytes(destination, originalBytes);
    vfs.Arm(FaultOp::Sync, 1, SQLITE_IOERR_FSYNC, true);
    const ConsoleRun run = ConvertInProcess(source, destination);
    vfs.Stop();
    EXPECT_EQ(run.status, 1);
    const auto first = run.err.find("DAO Code:  3421");
    const auto lost = run.err.find("were not saved");
    ASSERT_NE(first, std::string::npos) << run.err;
    ASSERT_NE(lost, std::string::npos) << run.err;
    EXPECT_LT(first, lost) << run.err;
    EXPECT_NE(run.err.find("DAO Code:  3043", first), std::string::npos) << run.err;
    EXPECT_EQ(IntegrityCheck(destination), "ok");
    EXPECT_EQ(DestinationContent(destination), DestinationContent(original));
}
