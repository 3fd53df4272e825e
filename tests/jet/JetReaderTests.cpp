#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "db/DaoException.h"
#include "db/jet/JetFile.h"
#include "db/jet/JetSnapshot.h"
#include "tests/jet/JetFixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

constexpr const char* kSourceQuery =
    "SELECT tblPhraseItem.ItemID, ShortDescription, FullDescription, CategoryID "
    "FROM tblPhraseItem INNER JOIN tblPhraseRelation "
    "ON tblPhraseItem.ItemID = tblPhraseRelation.ItemID";

int ErrorOf(const std::function<void()>& action, std::string* description = nullptr) {
    try {
        action();
    } catch (const CDaoException& e) {
        if (description != nullptr) *description = e.m_pErrorInfo->m_strDescription;
        return e.m_pErrorInfo->m_lErrorCode;
    }
    return 0;
}

std::string One(sqlite3* db, const std::string& sql) {
    const std::vector<std::string> rows = TypedRows(db, sql);
    return rows.size() == 1 ? rows[0] : "<" + std::to_string(rows.size()) + " rows>";
}

}  // namespace

TEST(JetReader, TwinFilesOfJet3AndJet4ReadEqual) {
    JET_FIXTURE_OR_SKIP(jet3, "public/test2V1997.mdb");
    JET_FIXTURE_OR_SKIP(jet4, "public/test2V2000.mdb");
    auto older = JetSnapshot::Open(jet3);
    auto newer = JetSnapshot::Open(jet4);
    older->LoadTable("MSP_PROJECTS");
    newer->LoadTable("MSP_PROJECTS");
    const std::vector<std::string> a = TypedRows(older->Handle(), "SELECT * FROM MSP_PROJECTS");
    const std::vector<std::string> b = TypedRows(newer->Handle(), "SELECT * FROM MSP_PROJECTS");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a, b);
    // Jet 3 text comes through its code page, memo text whole, dates as day counts.
    EXPECT_EQ(One(older->Handle(), "SELECT PROJ_OPT_CURRENCY_SYMBOL FROM MSP_PROJECTS"), "t:£");
    EXPECT_EQ(One(older->Handle(), "SELECT length(PROJ_PROP_AUTHOR) FROM MSP_PROJECTS"), "i:348");
    EXPECT_EQ(One(older->Handle(), "SELECT PROJ_INFO_CURRENT_DATE > 38751 FROM MSP_PROJECTS"),
              "i:1");
}

TEST(JetReader, GeneralTablesDecodeEveryColumnType) {
    for (const char* name : {"public/testV1997.mdb", "public/testV2000.mdb"}) {
        JET_FIXTURE_OR_SKIP(path, name);
        auto snapshot = JetSnapshot::Open(path);
        snapshot->LoadTable("table1");
        EXPECT_EQ(
            TypedRows(snapshot->Handle(), "SELECT * FROM Table1 ORDER BY A"),
            (std::vector<std::string>{
                "t:a|t:b|i:0|i:0|i:0|r:0.0|r:29932.0|r:0.0|i:0",
                "t:abcdefg|t:hijklmnop|i:2|i:222|i:333333333|r:444.555|r:27293.0|r:3.5|i:-1"}))
            << name;
    }
}

TEST(JetReader, DemoSourceHoldsExactlyTheRowsOfTheSqliteDemo) {
    JET_FIXTURE_OR_SKIP(path, "src_demo_V2000.mdb");
    TempDir dir;
    const std::string sqlitePath = dir.File("demo.db");
    CreateSourceDb(sqlitePath);
    TestDb(sqlitePath).ExecFile(ResFile("demo-source.sql"));
    sqlite3* expected = nullptr;
    ASSERT_EQ(sqlite3_open_v2(sqlitePath.c_str(), &expected, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);

    auto snapshot = JetSnapshot::Open(path);
    for (const char* table : {"tblPhraseCategory", "tblPhraseItem", "tblPhraseRelation"}) {
        snapshot->LoadTable(table);
    }
    const std::vector<std::string> want = SourceTables(expected);
    sqlite3_close(expected);
    EXPECT_EQ(want.size(), 31u + 40u + 47u);
    EXPECT_EQ(SourceTables(snapshot->Handle()), want);
    EXPECT_EQ(snapshot->RowsRead(), 31u + 40u + 47u);
}

TEST(JetReader, StatementReadsTheTablesItNamesComparingTextWithoutCase) {
    JET_FIXTURE_OR_SKIP(path, "src_demo_V2000.mdb");
    auto snapshot = JetSnapshot::Open(path);
    snapshot->LoadTablesFor(kSourceQuery);
    EXPECT_EQ(One(snapshot->Handle(), std::string("SELECT count(*) FROM (") + kSourceQuery + ")"),
              "i:47");
    // Jet's keys ignore case, and so does the snapshot.
    EXPECT_EQ(One(snapshot->Handle(), "SELECT count(*) FROM tblPhraseItem WHERE ItemID = 'ph001'"),
              "i:1");

    std::string description;
    EXPECT_EQ(
        ErrorOf([&] { snapshot->LoadTablesFor("SELECT * FROM tblNoSuchTable"); }, &description),
        DaoError::TableNotFound);
    EXPECT_NE(description.find("tblNoSuchTable"), std::string::npos) << description;
    EXPECT_NE(description.find(path), std::string::npos) << description;
    // A missing column is left for the prepare, which names it.
    snapshot->LoadTablesFor("SELECT NoSuchColumn FROM tblPhraseItem");
    sqlite3_stmt* statement = nullptr;
    EXPECT_NE(sqlite3_prepare_v2(snapshot->Handle(), "SELECT NoSuchColumn FROM tblPhraseItem", -1,
                                 &statement, nullptr),
              SQLITE_OK);
    sqlite3_finalize(statement);
}

TEST(JetReader, LongAndNonAsciiValuesArriveWhole) {
    JET_FIXTURE_OR_SKIP(path, "src_big_V2000.mdb");
    auto snapshot = JetSnapshot::Open(path);
    snapshot->LoadTablesFor(kSourceQuery);
    snapshot->LoadTable("tblPhraseCategory");
    sqlite3* db = snapshot->Handle();
    EXPECT_EQ(snapshot->RowsRead(), 500u + 20000u + 36000u);
    // libmdb's own reader stops a memo at 16,383 bytes.
    EXPECT_EQ(One(db,
                  "SELECT length(FullDescription), "
                  "length(FullDescription) - length(replace(FullDescription, 'N', '')) >= "
                  "300000, substr(FullDescription, -2) FROM tblPhraseItem "
                  "WHERE ItemID = 'PH000009'"),
              "i:301014|i:1|t:N}");
    EXPECT_EQ(One(db,
                  "SELECT substr(FullDescription, -40) FROM tblPhraseItem "
                  "WHERE ItemID = 'PH000010'"),
              "t:n Ärztin 漢字 patient Мир Ärztin ½ naïve }");
    EXPECT_EQ(One(db,
                  "SELECT Description, length(s_Lineage), typeof(ReplicationModified) "
                  "FROM tblPhraseCategory WHERE CategoryID = 'GLS{B0001-01}'"),
              "t:Catégorie n° 1 – “quoted” €|i:40|t:real");
}

TEST(JetReader, FilesThatAreNotJetDatabasesAreRefusedBeforeLibmdbSeesThem) {
    std::string jetHeader(0x18, '\0');
    jetHeader.replace(0, 4, std::string("\x00\x01\x00\x00", 4));
    jetHeader.replace(4, 16, std::string("Standard Jet DB\0", 16));
    std::string aceHeader = jetHeader;
    aceHeader.replace(4, 16, std::string("Standard ACE DB\0", 16));
    std::string jet4 = jetHeader;
    jet4[0x14] = 1;
    const struct {
        const char* name;
        std::string bytes;
        int error;
    } cases[] = {
        {"empty file", "", DaoError::UnrecognizedFormat},
        {"a page of zeros", std::string(4096, '\0'), DaoError::UnrecognizedFormat},
        {"text", "hello, world", DaoError::UnrecognizedFormat},
        {"ACE header", aceHeader + std::string(16384, '\0'), DaoError::UnrecognizedFormat},
        {"Jet header alone", jetHeader, DaoError::Corrupt},
        {"Jet 3 header, two pages", jetHeader + std::string(4096 - jetHeader.size(), '\0'),
         DaoError::Corrupt},
        {"Jet 4 header, not whole pages", jet4 + std::string(20000, '\0'), DaoError::Corrupt},
        {"Jet 4 header, zero pages", jet4 + std::string(3 * 4096 - jet4.size(), '\0'),
         DaoError::Corrupt},
    };
    for (const auto& c : cases) {
        std::string description;
        EXPECT_EQ(ErrorOf(
                      [&] {
                          JetSnapshot snapshot(JetFile::FromBytes(c.bytes, "case.mdb"));
                          snapshot.LoadTable("tblPhraseItem");
                      },
                      &description),
                  c.error)
            << c.name;
        EXPECT_NE(description.find("case.mdb"), std::string::npos) << c.name << ": " << description;
    }
}

TEST(JetReader, ReadingLeavesTheFileByteForByteAsItWas) {
    JET_FIXTURE_OR_SKIP(path, "src_demo_V2000.mdb");
    TempDir dir;
    const std::string copy = dir.File("writable.mdb");
    WriteFileBytes(copy, ReadFileBytes(path));
    ASSERT_EQ(chmod(copy.c_str(), 0644), 0);
    struct stat before {};
    ASSERT_EQ(stat(copy.c_str(), &before), 0);
    {
        auto snapshot = JetSnapshot::Open(copy);
        snapshot->LoadTablesFor(kSourceQuery);
        snapshot->LoadTable("tblPhraseCategory");
    }
    struct stat after {};
    ASSERT_EQ(stat(copy.c_str(), &after), 0);
    EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(path));
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    // No lock file or journal appears beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}
