// Write groups meet another program's reader: an Update waits the bounded time and fails before
// anything changes, and a write the engine acknowledged is never undone by a later commit.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <ostream>
#include <string>

#include "db/DaoEngine.h"
#include "db/DaoException.h"
#include "records/CDstTblCategory.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

using std::chrono::milliseconds;

// Another program's reader that does not wait: it holds a read transaction once it has one.
class Reader {
public:
    explicit Reader(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(m_db, "SELECT count(*) FROM tblCategory", -1, &m_stmt, nullptr);
        const int rc = sqlite3_step(m_stmt);
        m_reading = rc == SQLITE_ROW;
        if (m_reading) m_seen = sqlite3_column_int(m_stmt, 0);
    }
    ~Reader() { End(); }
    void End() {
        if (m_db == nullptr) return;
        sqlite3_finalize(m_stmt);
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    bool Reading() const { return m_reading; }
    int Seen() const { return m_seen; }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_reading = false;
    int m_seen = -1;
};

struct ReaderMoment {
    const char* name;
    const char* journalMode;
    int writesBefore;     // rows added before the reader arrives
    bool groupOpen;       // else every write commits at once
    bool readerKeptOut;   // the reader cannot start while the group holds its lock
    bool nextWriteFails;  // the next write meets the reader (3218)
};

void PrintTo(const ReaderMoment& moment, std::ostream* out) { *out << moment.name; }

const ReaderMoment kMoments[] = {
    {"BeforeAnyWrite", "delete", 0, true, false, true},
    {"WhileAGroupIsOpen", "delete", 3, true, true, false},
    {"BetweenGroups", "delete", 3, false, false, true},
    // A reader of a write-ahead log never blocks a commit.
    {"LogBeforeAnyWrite", "wal", 0, true, false, false},
    {"LogWhileAGroupIsOpen", "wal", 3, true, false, false},
    {"LogBetweenGroups", "wal", 3, false, false, false},
};

class ReaderArriving : public testing::TestWithParam<ReaderMoment> {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateDestinationDb(m_path);
        TestDb db(m_path);
        db.Exec(std::string("PRAGMA journal_mode = ") + GetParam().journalMode);
        AddDestinationCategory(db, "K{0}", "seed");
    }
    void TearDown() override { UseTestEngineSettings(); }

    TempDir m_dir;
    std::string m_path = m_dir.File("destination.db");
};

void AddCategory(CDstTblCategory& categories, int n) {
    categories.AddNew();
    categories.m_CategoryID = "K{" + std::to_string(n) + "}";
    categories.m_Description = std::string("added");
    categories.Update();
}

TEST_P(ReaderArriving, NeverUndoesAnAcknowledgedWrite) {
    const ReaderMoment& moment = GetParam();
    AfxDaoGetEngine()->SetWriteGroupInterval(moment.groupOpen ? std::chrono::minutes(10)
                                                              : milliseconds(0));
    CDstTblCategory categories;
    categories.SetDBPath(m_path);
    categories.Open();
    categories.SetCurrentIndex("PrimaryKey");
    int acknowledged = 0;
    for (; acknowledged < moment.writesBefore; ++acknowledged)
        AddCategory(categories, acknowledged + 1);

    Reader reader(m_path);
    EXPECT_EQ(reader.Reading(), !moment.readerKeptOut);
    if (reader.Reading()) {
        EXPECT_EQ(reader.Seen(), 1 + (moment.groupOpen ? 0 : acknowledged));
    }
    const std::string bytes = ReadFileBytes(m_path);
    int32_t code = 0;
    try {
        AddCategory(categories, 100);
        ++acknowledged;
    } catch (const CDaoException& e) {
        code = e.m_pErrorInfo->m_lErrorCode;
        EXPECT_NE(e.m_pErrorInfo->m_strDescription.find("another program"), std::string::npos)
            << e.what();
        // It failed before anything changed.
        EXPECT_EQ(ReadFileBytes(m_path), bytes);
    }
    EXPECT_EQ(code, moment.nextWriteFails ? DaoError::Locked : 0);
    if (code != 0) {
        // Writing goes on once the reader is done.
        reader.End();
        AddCategory(categories, 101);
        ++acknowledged;
    }
    // A reader still holding on never makes the last commit fail.
    EXPECT_NO_THROW(categories.Close());
    reader.End();
    EXPECT_EQ(TestDb(m_path).Count("tblCategory"), 1 + acknowledged);
}

INSTANTIATE_TEST_SUITE_P(Moments, ReaderArriving, testing::ValuesIn(kMoments),
                         [](const testing::TestParamInfo<ReaderMoment>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
