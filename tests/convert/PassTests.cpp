// Passes 3 to 5 on their own: their results, and how an engine error ends each of them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

class RewritePasses : public testing::Test {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateDestinationDb(m_path);
    }
    void Open() {
        m_categories.SetDBPath(m_path);
        m_categories.Open();
        m_categories.SetCurrentIndex("PrimaryKey");
        m_phrases.SetDBPath(m_path);
        m_phrases.Open();
        m_phrases.SetCurrentIndex("PrimaryKey");
    }
    std::vector<std::string> Stored(const char* sql) {
        m_categories.Close();
        m_phrases.Close();
        return TestDb(m_path).Rows(sql);
    }

    TempDir m_dir;
    std::string m_path = m_dir.File("destination.db");
    CDstTblCategory m_categories;
    CDstTblPhrase m_phrases;
    RecordingHost m_host;
};

TEST_F(RewritePasses, EmptyTablesLeaveEachPassNothingToDo) {
    Open();
    EXPECT_EQ(NormalizeCategoryIds(m_categories, m_host), 1);
    EXPECT_EQ(NormalizePhraseCategoryIds(m_phrases, m_host), 1);
    EXPECT_EQ(FlattenPhraseText(m_phrases, m_host.richText, m_host), 1);
    EXPECT_TRUE(m_host.messages.empty());
}

// Cutting a tail can meet another row's key: the pass reports the engine error and stops at
// once, leaving the rows after it as they were.
TEST_F(RewritePasses, CategoryPassStopsAtADuplicateCutAndReportsIt) {
    {
        TestDb db(m_path);
        AddDestinationCategory(db, "A{1}", "First");
        AddDestinationCategory(db, "A{1}x", "Tailed");
        AddDestinationCategory(db, "B{2}y", "After");
    }
    Open();
    EXPECT_EQ(NormalizeCategoryIds(m_categories, m_host), 0);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].kind, RecordingHost::Kind::App);
    EXPECT_NE(m_host.messages[0].text.find("DAO Code:  3022"), std::string::npos)
        << m_host.messages[0].text;
    EXPECT_EQ(Stored("SELECT CategoryID, strCategoryID FROM tblCategory ORDER BY CategoryID"),
              (std::vector<std::string>{"A{1}|{1}", "A{1}x|<null>", "B{2}y|<null>"}));
}

// A Null identifier reads as empty; what the passes compute for it is empty too, which is no
// change, so the Nulls stay.
TEST_F(RewritePasses, NullIdentifiersStayNull) {
    {
        TestDb db(m_path);
        db.Run(
            "INSERT INTO tblCategory (CategoryID, Description, strCategoryID) VALUES ('', 'x', "
            "NULL)",
            {});
        db.Run("INSERT INTO tblPhrase (PhraseID, CategoryID, Data) VALUES ('P1', NULL, '9|')", {});
    }
    Open();
    EXPECT_EQ(NormalizeCategoryIds(m_categories, m_host), 1);
    EXPECT_EQ(NormalizePhraseCategoryIds(m_phrases, m_host), 1);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(Stored("SELECT quote(CategoryID), quote(strCategoryID) FROM tblCategory"),
              std::vector<std::string>{"''|NULL"});
    EXPECT_EQ(TestDb(m_path).Rows("SELECT quote(CategoryID) FROM tblPhrase"),
              std::vector<std::string>{"NULL"});
}

// Another program holding the write lock: each rewriting pass reports the lock and returns 0.
struct LockedPass {
    const char* name;
    std::function<int(CDstTblCategory&, CDstTblPhrase&, RecordingHost&)> run;
};

class RewritePassOnALockedFile : public RewritePasses,
                                 public testing::WithParamInterface<LockedPass> {};

TEST_P(RewritePassOnALockedFile, ReportsTheLockAndReturnsZero) {
    {
        TestDb db(m_path);
        AddDestinationCategory(db, "A{1}x", "Tailed");
        AddDestinationPhrase(db, "P1", "A{1}x", "{\\rtf1 Hello\\par}");
    }
    Open();
    TestDb other(m_path);
    other.Exec("BEGIN IMMEDIATE");
    EXPECT_EQ(GetParam().run(m_categories, m_phrases, m_host), 0);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].kind, RecordingHost::Kind::App);
    EXPECT_NE(m_host.messages[0].text.find("  \r\rDAO Code:  3218"), std::string::npos)
        << m_host.messages[0].text;
    EXPECT_NE(m_host.messages[0].text.find(m_path), std::string::npos) << m_host.messages[0].text;
    other.Exec("ROLLBACK");
    EXPECT_EQ(Stored("SELECT c.CategoryID, p.CategoryID, p.Data FROM tblCategory c, tblPhrase p"),
              std::vector<std::string>{"A{1}x|A{1}x|{\\rtf1 Hello\\par}"});
}

INSTANTIATE_TEST_SUITE_P(
    Passes, RewritePassOnALockedFile,
    testing::Values(LockedPass{"Categories",
                               [](CDstTblCategory& c, CDstTblPhrase&, RecordingHost& h) {
                                   return NormalizeCategoryIds(c, h);
                               }},
                    LockedPass{"PhraseCategories",
                               [](CDstTblCategory&, CDstTblPhrase& p, RecordingHost& h) {
                                   return NormalizePhraseCategoryIds(p, h);
                               }},
                    LockedPass{"PhraseText",
                               [](CDstTblCategory&, CDstTblPhrase& p, RecordingHost& h) {
                                   return FlattenPhraseText(p, h.richText, h);
                               }}),
    [](const testing::TestParamInfo<LockedPass>& info) { return std::string(info.param.name); });

// The suffix is added to text that lacks it, and never a second time.
struct FlattenCase {
    const char* name;
    const char* data;  // nullptr: Null
    const char* flattened;
};

class FlattenPass : public RewritePasses, public testing::WithParamInterface<FlattenCase> {};

TEST_P(FlattenPass, EndsEveryPhraseWithOneSuffix) {
    {
        TestDb db(m_path);
        AddDestinationPhrase(db, "P1", "{1}", GetParam().data);
    }
    Open();
    for (int run = 1; run <= 3; ++run) {
        EXPECT_EQ(FlattenPhraseText(m_phrases, m_host.richText, m_host), 1);
    }
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(Stored("SELECT Data FROM tblPhrase"), std::vector<std::string>{GetParam().flattened});
}

INSTANTIATE_TEST_SUITE_P(Data, FlattenPass,
                         testing::Values(FlattenCase{"SuffixOnly", "9|", "9|"},
                                         FlattenCase{"Empty", "", "9|"},
                                         FlattenCase{"Null", nullptr, "9|"},
                                         FlattenCase{"RichText", "{\\rtf1 Hello\\par}", "Hello9|"},
                                         FlattenCase{"PlainText", "plain", "plain9|"},
                                         FlattenCase{"EndsInNine", "ends 9", "ends 99|"},
                                         FlattenCase{"AlreadyFlattened", "already9|", "already9|"},
                                         FlattenCase{"TwoSuffixes", "9|9|", "9|9|"}),
                         [](const testing::TestParamInfo<FlattenCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
