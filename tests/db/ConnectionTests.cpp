// How recordsets share a file, and how they meet another program's locks and a read-only file.
#include <gtest/gtest.h>
#include <sqlite3.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "db/DaoEngine.h"
#include "db/DaoException.h"
#include "records/CDstTblCategory.h"
#include "records/CDstTblPhrase.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

// A second name for an existing file: a symbolic link, or on Windows a hard link (MinGW's
// standard library makes no symbolic links).
void LinkAnotherName(const std::string& existing, const std::string& name) {
#ifdef _WIN32
    std::filesystem::create_hard_link(existing, name);
#else
    std::filesystem::create_symlink(existing, name);
#endif
}

void AddCategory(CDstTblCategory& categories, const std::string& id) {
    categories.AddNew();
    categories.m_CategoryID = id;
    categories.m_Description = std::string("added");
    categories.Update();
}

class Connections : public testing::Test {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateDestinationDb(m_path);
        TestDb db(m_path);
        AddDestinationCategory(db, "K{1}", "One");
    }
    void TearDown() override { UseTestEngineSettings(); }

    TempDir m_dir;
    std::string m_path = m_dir.File("destination.db");
};

// Another program holding the write lock: reading goes on, the first write fails with 3218 once
// the bounded wait is over.
TEST_F(Connections, WriteLockHeldElsewhereFailsTheFirstWriteWith3218) {
    TestDb other(m_path);
    other.Exec("BEGIN IMMEDIATE");
    other.Exec("INSERT INTO tblCategory (CategoryID) VALUES ('theirs')");

    CDstTblCategory categories;
    categories.SetDBPath(m_path);
    categories.Open();
    categories.SetCurrentIndex("PrimaryKey");
    ASSERT_FALSE(categories.IsEOF());
    EXPECT_EQ(categories.m_CategoryID.Value(), "K{1}");
    try {
        AddCategory(categories, "K{2}");
        FAIL() << "the write went through another program's lock";
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::Locked) << e.what();
        EXPECT_NE(e.m_pErrorInfo->m_strDescription.find(m_path), std::string::npos) << e.what();
    }
    categories.Close();
    other.Exec("COMMIT");
    EXPECT_EQ(other.Rows("SELECT CategoryID FROM tblCategory ORDER BY CategoryID"),
              (std::vector<std::string>{"K{1}", "theirs"}));
}

// An exclusive lock keeps even readers out: the open fails with 3045, and once the lock is gone
// the file opens again (no half-open connection is kept).
TEST_F(Connections, ExclusiveLockHeldElsewhereFailsTheOpenWith3045) {
    {
        TestDb other(m_path);
        other.Exec("BEGIN EXCLUSIVE");
        CDstTblCategory categories;
        categories.SetDBPath(m_path);
        try {
            categories.Open();
            FAIL() << "the open went through an exclusive lock";
        } catch (const CDaoException& e) {
            EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::FileInUse) << e.what();
            EXPECT_NE(e.m_pErrorInfo->m_strDescription.find(m_path), std::string::npos) << e.what();
        }
        EXPECT_FALSE(categories.IsOpen());
        other.Exec("ROLLBACK");
    }
    CDstTblCategory categories;
    categories.SetDBPath(m_path);
    categories.Open();
    categories.SetCurrentIndex("PrimaryKey");
    AddCategory(categories, "K{2}");
    categories.Close();
    EXPECT_EQ(TestDb(m_path).Count("tblCategory"), 2);
}

// Two recordsets on one file through different names use one connection, so a write group that
// one of them opened never locks the other out.
TEST_F(Connections, RecordsetsOnOneFileUnderTwoNamesShareItsConnection) {
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::minutes(10));
    const std::string link = m_dir.File("link.db");
    LinkAnotherName(m_path, link);
    const std::string dotted = (m_dir.Path() / "." / "destination.db").string();

    CDstTblCategory viaPath;
    viaPath.SetDBPath(m_path);
    viaPath.Open();
    viaPath.SetCurrentIndex("PrimaryKey");
    CDstTblPhrase viaLink;
    viaLink.SetDBPath(link);
    viaLink.Open();
    viaLink.SetCurrentIndex("PrimaryKey");
    CDstTblCategory viaDotted;
    viaDotted.SetDBPath(dotted);
    viaDotted.Open();
    viaDotted.SetCurrentIndex("PrimaryKey");

    AddCategory(viaPath, "K{2}");  // opens a write group that stays open
    viaLink.AddNew();
    viaLink.m_PhraseID = std::string("P1");
    EXPECT_NO_THROW(viaLink.Update());
    EXPECT_NO_THROW(AddCategory(viaDotted, "K{3}"));

    viaPath.Close();
    viaLink.Close();
    viaDotted.Close();
    TestDb db(m_path);
    EXPECT_EQ(db.Count("tblCategory"), 3);
    EXPECT_EQ(db.Count("tblPhrase"), 1);
}

// Two files open at once each get their own connection, so each write lands in its own file,
// also where the platform's stat() tells files apart by nothing (MinGW gives every inode as 0).
TEST_F(Connections, TwoFilesNeverShareAConnection) {
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::minutes(10));
    const std::string second = m_dir.File("second.db");
    CreateDestinationDb(second);

    CDstTblCategory first;
    first.SetDBPath(m_path);
    first.Open();
    first.SetCurrentIndex("PrimaryKey");
    CDstTblCategory other;
    other.SetDBPath(second);
    other.Open();
    other.SetCurrentIndex("PrimaryKey");
    EXPECT_TRUE(other.IsEOF()) << "the second recordset reads the first file's rows";
    AddCategory(first, "K{first}");
    AddCategory(other, "K{second}");
    first.Close();
    other.Close();

    EXPECT_EQ(TestDb(m_path).Rows("SELECT CategoryID FROM tblCategory ORDER BY CategoryID"),
              (std::vector<std::string>{"K{1}", "K{first}"}));
    EXPECT_EQ(TestDb(second).Rows("SELECT CategoryID FROM tblCategory"),
              std::vector<std::string>{"K{second}"});
}

// Writes are kept when the last recordset on the file closes, also when it is destroyed
// without Close.
TEST_F(Connections, PendingWritesAreCommittedWhenTheLastRecordsetGoes) {
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::minutes(10));
    {
        CDstTblCategory categories;
        categories.SetDBPath(m_path);
        categories.Open();
        categories.SetCurrentIndex("PrimaryKey");
        AddCategory(categories, "K{2}");
        CDstTblPhrase phrases;
        phrases.SetDBPath(m_path);
        phrases.Open();
        categories.Close();
        // Still held by the phrases: the group keeps the lock its commit needs, so another
        // program's reader waits for it rather than see a half-written run.
        sqlite3* other = nullptr;
        sqlite3_open_v2(m_path.c_str(), &other, SQLITE_OPEN_READONLY, nullptr);
        EXPECT_EQ(
            sqlite3_exec(other, "SELECT count(*) FROM tblCategory", nullptr, nullptr, nullptr),
            SQLITE_BUSY);
        sqlite3_close(other);
    }
    EXPECT_EQ(TestDb(m_path).Count("tblCategory"), 2);
}

// A file this user may read but not write opens, and fails with 3027 at its first write. Runs as
// an unprivileged user where the tests run as root, who may write anything.
// Writes grouped into many commits leave no journal file behind once the file is let go, and
// the file keeps the journal mode it had, a write-ahead log included.
TEST_F(Connections, ManyGroupsLeaveNoJournalAndTheFilesOwnJournalMode) {
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::milliseconds(0));
    for (const char* mode : {"delete", "wal"}) {
        SCOPED_TRACE(mode);
        if (std::string(mode) == "wal") TestDb(m_path).Exec("PRAGMA journal_mode = WAL");
        {
            CDstTblCategory categories;
            categories.SetDBPath(m_path);
            categories.Open();
            categories.SetCurrentIndex("PrimaryKey");
            for (int i = 0; i < 20; ++i)
                AddCategory(categories, std::string(mode) + std::to_string(i));
            EXPECT_TRUE(std::string(mode) == "wal" || std::filesystem::exists(m_path + "-journal"));
            categories.Close();
        }
        EXPECT_FALSE(std::filesystem::exists(m_path + "-journal"));
        EXPECT_EQ(TestDb(m_path).Rows("PRAGMA journal_mode"), std::vector<std::string>{mode});
        EXPECT_EQ(TestDb(m_path).Count("tblCategory"), std::string(mode) == "wal" ? 41 : 21);
    }
}

#ifndef _WIN32  // needs a second, unprivileged user and a death test's fork
TEST_F(Connections, ReadOnlyFileFailsAtTheFirstWriteWith3027) {
    std::filesystem::permissions(
        m_dir.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                          std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                          std::filesystem::perms::others_exec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read |
                                             std::filesystem::perms::others_read);
    const std::string before = ReadFileBytes(m_path);
    const std::string path = m_path;
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
                std::fprintf(stderr, "cannot drop privileges\n");
                std::_Exit(3);
            }
            CDstTblCategory categories;
            categories.SetDBPath(path);
            try {
                categories.Open();
                categories.SetCurrentIndex("PrimaryKey");
            } catch (const CDaoException& e) {
                std::fprintf(stderr, "open failed: %s\n", e.what());
                std::_Exit(4);
            }
            if (categories.IsEOF() || categories.m_CategoryID.Value() != "K{1}") std::_Exit(5);
            try {
                AddCategory(categories, "K{2}");
            } catch (const CDaoException& e) {
                const bool named = e.m_pErrorInfo->m_strDescription.find(path) != std::string::npos;
                std::fprintf(stderr, "error %d: %s\n", e.m_pErrorInfo->m_lErrorCode, e.what());
                std::_Exit(e.m_pErrorInfo->m_lErrorCode == DaoError::ReadOnly && named ? 0 : 6);
            }
            std::_Exit(7);
        },
        testing::ExitedWithCode(0), "error 3027: ");
    EXPECT_EQ(ReadFileBytes(m_path), before);
}
#endif

}  // namespace
