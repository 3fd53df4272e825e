// What a run tells its host on the way (passes, rows done of rows to do), what a cancel keeps,
// and the summary of what a run changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "convert/StartCommand.h"
#include "db/DaoException.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/StartCommandFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

using Pass = ConversionPass;

constexpr const char* kPhraseData = "SELECT PhraseID, Data FROM tblPhrase ORDER BY PhraseID";

class RunProgressTest : public StartCommandFixture {
protected:
    void SetUp() override {
        StartCommandFixture::SetUp();
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
        {
            TestDb db(m_source);
            AddSourceCategory(db, "A{1}", "First");
            AddSourceCategory(db, "B{2}tail", "Second");
            AddSourceCategory(db, "C{3}", "Third");
            AddSourceItem(db, "P1", "one", "{\\rtf1 One\\par}", {"A{1}"});
            AddSourceItem(db, "P2", "two", "plain two", {"B{2}tail", "C{3}"});  // two rows
            AddSourceItem(db, "P3", "three", "{\\rtf1 Three}", {"C{3}"});
            AddSourceItem(db, "P4", "four", "", {"A{1}"});
        }
        {
            // Rows an earlier run or another program left: one overwritten, two kept.
            TestDb db(m_destination);
            AddDestinationCategory(db, "A{1}", "Old first");
            AddDestinationCategory(db, "Z{9}", "Kept");
            AddDestinationPhrase(db, "P1", "A{1}", "old");
            AddDestinationPhrase(db, "P9", "Z{9}x", "{\\rtf1 Kept\\par}");
        }
        m_start.SetWorkgroupFile("");
    }

    std::vector<std::string> Phrases() { return TestDb(m_destination).Rows(kPhraseData); }
    bool Said(const std::string& part) const {
        for (const auto& m : m_host.messages) {
            if (m.text.find(part) != std::string::npos) return true;
        }
        return false;
    }
};

TEST_F(RunProgressTest, EveryPassReportsItsTotalThenEachRowInOrder) {
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_TRUE(Said("Conversion complete!"));

    // Source categories 3; query rows 5 (P2 has two relations); destination categories 3 + Z;
    // destination phrases P1..P4 + P9, walked by passes 4 and 5.
    const std::vector<std::pair<Pass, long long>> totals = {
        {Pass::CopyCategories, 3},     {Pass::CopyPhrases, 5},
        {Pass::ShortenCategoryIds, 4}, {Pass::ShortenPhraseCategories, 5},
        {Pass::ConvertPhraseText, 5},
    };
    std::vector<ConversionProgress> expected;
    for (const auto& [pass, rows] : totals) {
        for (long long done = 0; done <= rows; ++done) expected.push_back({pass, done, rows});
    }
    EXPECT_EQ(m_host.progress, expected);
    EXPECT_EQ(m_host.runsEnded, 1);
}

TEST_F(RunProgressTest, PassNamesAreTheOnesUsersSee) {
    EXPECT_STREQ(PassName(Pass::CopyCategories), "Copying categories");
    EXPECT_STREQ(PassName(Pass::CopyPhrases), "Copying phrases");
    EXPECT_STREQ(PassName(Pass::ShortenCategoryIds), "Shortening category identifiers");
    EXPECT_STREQ(PassName(Pass::ShortenPhraseCategories), "Shortening phrase categories");
    EXPECT_STREQ(PassName(Pass::ConvertPhraseText), "Converting phrase text");
}

TEST_F(RunProgressTest, SummaryCountsWhatTheRunChanged) {
    m_start.RunAndReport(m_source, m_destination);
    const ConversionSummary& s = m_start.LastSummary();
    EXPECT_TRUE(s.completed);
    EXPECT_EQ(s.categoriesAdded, 2);        // B, C
    EXPECT_EQ(s.categoriesOverwritten, 1);  // A
    EXPECT_EQ(s.phrasesAdded, 3);           // P2, P3, P4
    EXPECT_EQ(s.phrasesOverwritten, 2);     // P1, and P2's second relation
    EXPECT_EQ(s.categoryIdsShortened, 1);   // B{2}tail
    // Every phrase category becomes its braced part, P9's own "Z{9}x" included.
    EXPECT_EQ(s.phraseCategoriesShortened, 5);
    EXPECT_EQ(s.phraseTextsConverted, 3);  // P1, P3, P9 were rich text
    EXPECT_EQ(s.categoryRows, 4);
    EXPECT_EQ(s.phraseRows, 5);

    ASSERT_EQ(m_host.messages.size(), 1u);
    const std::string& details = m_host.messages[0].details;
    for (const char* line :
         {"Categories added: 2\n", "Categories overwritten: 1\n", "Phrases added: 3\n",
          "Phrases overwritten: 2\n", "Category identifiers shortened: 1\n",
          "Phrase categories shortened: 5\n", "Phrase texts converted: 3\n",
          "Rows in tblCategory afterwards: 4\n", "Rows in tblPhrase afterwards: 5\n",
          "Time taken: "}) {
        EXPECT_NE(details.find(line), std::string::npos) << line << " in\n" << details;
    }
    EXPECT_EQ(details.find("Stopped"), std::string::npos) << details;
}

TEST_F(RunProgressTest, AnErrorReportCarriesWhatWasDoneBeforeIt) {
    {
        // Pass 2 seeks P3 and cannot read its number: an engine error after three rows.
        TestDb db(m_destination);
        AddDestinationPhrase(db, "P3", "C{3}", "x");
        db.Exec("UPDATE tblPhrase SET ZOrder = 'abc' WHERE PhraseID = 'P3'");
    }
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_FALSE(Said("Conversion complete!"));
    const std::string& details = m_host.messages[0].details;
    EXPECT_NE(details.find("Stopped while copying phrases"), std::string::npos) << details;
    EXPECT_NE(details.find("Categories added: 2\n"), std::string::npos) << details;
    EXPECT_EQ(m_start.LastSummary().phrasesAdded + m_start.LastSummary().phrasesOverwritten, 3);
}

// Cancel after a given number of progress reports: the run stops there, everything written
// before it stays, and the user is told it was cancelled, never that it completed.
struct CancelCase {
    const char* name;
    long long reports;  // reports seen when the cancel is asked for
    long long categoriesWritten;
    std::vector<std::string> phrases;  // PhraseID|Data afterwards
};

void PrintTo(const CancelCase& c, std::ostream* out) { *out << c.name; }

class CancelAt : public RunProgressTest, public testing::WithParamInterface<CancelCase> {};

TEST_P(CancelAt, KeepsExactlyTheRowsWrittenBeforeIt) {
    m_host.cancelAfterReports = GetParam().reports;
    m_start.RunAndReport(m_source, m_destination);

    ASSERT_EQ(m_host.messages.size(), 1u) << m_host.Texts().front();
    const RecordingHost::Message& m = m_host.messages[0];
    EXPECT_EQ(m.kind, RecordingHost::Kind::App);
    EXPECT_EQ(m.text.rfind("The conversion was cancelled", 0), 0u) << m.text;
    EXPECT_FALSE(Said("Conversion complete!"));
    EXPECT_NE(m.details.find("Stopped while"), std::string::npos) << m.details;
    EXPECT_EQ(m_host.progress.size(), static_cast<std::size_t>(GetParam().reports));
    EXPECT_EQ(m_host.runsEnded, 1);

    const ConversionSummary& s = m_start.LastSummary();
    EXPECT_EQ(s.categoriesAdded + s.categoriesOverwritten, GetParam().categoriesWritten);
    EXPECT_EQ(Phrases(), GetParam().phrases);
    // Committed: another connection sees them, and the workspace is left as after an error.
    EXPECT_TRUE(m_start.Workspace());
}

const std::vector<std::string> kUntouched = {"P1|old", "P9|{\\rtf1 Kept\\par}"};

INSTANTIATE_TEST_SUITE_P(
    Moments, CancelAt,
    testing::Values(
        // Pass 1 announced, no row written yet.
        CancelCase{"BeforeAnyRow", 1, 0, kUntouched},
        // Two categories in.
        CancelCase{"InsideCopyingCategories", 3, 2, kUntouched},
        // Pass 1 done (4 reports), pass 2 announced and two query rows written.
        CancelCase{"InsideCopyingPhrases",
                   7,
                   3,
                   {"P1|{\\rtf1 One\\par}", "P2|plain two", "P9|{\\rtf1 Kept\\par}"}},
        // The last row of the copies (4 + 6 reports): still in time.
        CancelCase{"AtTheLastCopiedPhrase",
                   10,
                   3,
                   {"P1|{\\rtf1 One\\par}", "P2|plain two", "P3|{\\rtf1 Three}", "P4|9|",
                    "P9|{\\rtf1 Kept\\par}"}}),
    [](const testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

// Once the copies are done, a cancel would leave copied phrases raw and identifiers uncut: the
// host is told the last passes cannot be stopped, and the run completes whenever it is asked.
class CancelInTheLastPasses : public RunProgressTest,
                              public testing::WithParamInterface<long long> {};

TEST_P(CancelInTheLastPasses, IsNotHonouredAndTheRunCompletes) {
    m_host.cancelAfterReports = GetParam();
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 1u) << m_host.Texts().front();
    EXPECT_EQ(m_host.messages[0].text, "Conversion complete!");
    EXPECT_TRUE(m_start.LastSummary().completed);
    EXPECT_FALSE(m_start.Workspace());
    // Told once, right after the last row of the copies (4 + 6 reports).
    EXPECT_EQ(m_host.lastPassesBegunAfter, std::vector<std::size_t>{10});
    EXPECT_EQ(m_host.progress.size(), 27u);  // every row of every pass
    EXPECT_EQ(Phrases(), (std::vector<std::string>{"P1|One9|", "P2|plain two9|", "P3|Three9|",
                                                   "P4|9|", "P9|Kept9|"}));
    EXPECT_EQ(TestDb(m_destination).Rows("SELECT CategoryID FROM tblPhrase ORDER BY PhraseID"),
              (std::vector<std::string>{"{1}", "{3}", "{3}", "{1}", "{9}"}));
}

// Pass 3 announced, inside pass 4, inside pass 5.
INSTANTIATE_TEST_SUITE_P(Moments, CancelInTheLastPasses, testing::Values(11, 18, 25));

TEST_F(RunProgressTest, CancelMessageSaysWhatWasKept) {
    m_host.cancelAfterReports = 7;
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].text,
              "The conversion was cancelled while copying phrases (2 of 5 rows done).\r\r"
              "Everything written before it was kept: 3 categories and 2 phrases copied. Run "
              "the conversion again to do the rest.");
}

// The count behind a dynaset's total: inside the store, or by stepping through a query the
// store cannot wrap.
TEST_F(RunProgressTest, DynasetCountsItsQueryWhateverItEndsWith) {
    for (const char* sql :
         {"SELECT ItemID, ShortDescription, FullDescription, CategoryID FROM tblPhraseItem JOIN "
          "tblPhraseRelation USING (ItemID);  ",
          "SELECT ItemID, ShortDescription, FullDescription, CategoryID FROM tblPhraseItem JOIN "
          "tblPhraseRelation USING (ItemID) -- the relation rows"}) {
        CSrcQryPhraseItem items;
        items.SetDBPath(m_source);
        items.Open(dbOpenDynaset, sql);
        EXPECT_EQ(items.GetRecordCount(), 5) << sql;
        items.Close();
    }
}

}  // namespace
