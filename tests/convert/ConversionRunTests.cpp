// Whole runs over small source and destination files, once per store.
#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "convert/BracedId.h"
#include "db/DaoEngine.h"
#include "tests/convert/ConversionRunFixture.h"

namespace {

class ConversionRun : public PerStoreConversion {};

INSTANTIATE_TEST_SUITE_P(Stores, ConversionRun, testing::ValuesIn(kStoreKinds), StoreCaseName);

TEST_P(ConversionRun, CopiesCategoriesAndPhrasesAndLeavesTheSourceAlone) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Greetings");
        AddSourceCategory(db, "L{2}", "");
        AddSourceCategory(db, "M{3}", nullptr);
        AddSourceItem(db, "I1", "hi", "{\\rtf1 Hello\\par}", {"K{1}"});
        AddSourceItem(db, "I2", "empty", "", {"L{2}"});
        AddSourceItem(db, "I3", nullptr, "plain words", {"M{3}"});
        AddSourceItem(db, "I4", "unrelated", "never copied", {});
    }
    const std::string sourceBefore = ReadFileBytes(m_source);

    Run(m_source, m_destination);

    EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
    EXPECT_EQ(Destination(kCategories),
              (std::vector<std::string>{"K{1}|Greetings|0|{1}", "L{2}|Undefined|0|{2}",
                                        "M{3}|Undefined|0|{3}"}));
    EXPECT_EQ(Destination(kPhrases),
              (std::vector<std::string>{"I1|{1}|hi|Hello9||0|2|0", "I2|{2}|empty|9||0|2|0",
                                        "I3|{3}||plain words9||0|2|0"}));
    EXPECT_EQ(ReadFileBytes(m_source), sourceBefore);
}

TEST_P(ConversionRun, EmptyFullDescriptionArrivesAsTheSuffixBeforeFlattening) {
    {
        TestDb db(m_source);
        AddSourceItem(db, "I1", "s", "", {"K{1}"});
        AddSourceItem(db, "I2", "s", nullptr, {"K{1}"});
    }
    {
        CSrcQryPhraseItem items;
        items.SetDBPath(DatabaseName(Kind(), m_source));
        items.Open();
        CDstTblPhrase phrases;
        phrases.SetDBPath(DatabaseName(Kind(), m_destination));
        phrases.Open();
        phrases.SetCurrentIndex("PrimaryKey");
        CopyPhrases(items, phrases);
    }
    EXPECT_EQ(Destination(kPhrases),
              (std::vector<std::string>{"I1|K{1}|s|9||0|2|0", "I2|K{1}|s|9||0|2|0"}));
}

TEST_P(ConversionRun, PhraseWithSeveralRelationsIsWrittenOnceWithTheLastCategory) {
    {
        TestDb db(m_source);
        AddSourceItem(db, "I1", "s", "text", {"K{1}", "K{3}", "K{2}"});
    }
    // The category of the last relation row the source query returns is the one that stays.
    CSrcQryPhraseItem query;
    const std::vector<std::string> rows = TestDb(m_source).Rows(query.GetDefaultSQL());
    ASSERT_EQ(rows.size(), 3u);
    std::string last = rows.back().substr(rows.back().rfind('|') + 1);
    const std::string expected = ExtractBracedId(last.data());

    Run(m_source, m_destination);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(Destination("SELECT PhraseID, CategoryID FROM tblPhrase"),
              std::vector<std::string>{"I1|" + expected});
}

TEST_P(ConversionRun, SourceCategoriesSharingAnIdEndAsOneRowWithTheLaterDescription) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Earlier");
        AddSourceCategory(db, "L{2}", "Other");
        AddSourceCategory(db, "k{1}", "Later");  // keys compare without regard to case
    }
    Run(m_source, m_destination);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(Destination(kCategories),
              (std::vector<std::string>{"k{1}|Later|0|{1}", "L{2}|Other|0|{2}"}));
}

// Passes 3 to 5 rewrite every destination row, also those the run did not copy; text that an
// earlier run flattened keeps one suffix.
TEST_P(ConversionRun, RowsWithoutASourceCounterpartAreStillNormalised) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Copied");
        AddSourceItem(db, "I1", "s", "copied", {"K{1}"});
    }
    {
        TestDb db(m_destination);
        AddDestinationCategory(db, "X{9}tail", "Left over");
        AddDestinationCategory(db, "{7}", "Braced only");
        AddDestinationCategory(db, "plain", "No braces");
        AddDestinationPhrase(db, "P1", "X{9}tail", "{\\rtf1 Old\\par}");
        AddDestinationPhrase(db, "P2", "{7}", "Done9|");
        AddDestinationPhrase(db, "P3", "", "9|");
        AddDestinationPhrase(db, "P4", "K{12", nullptr);
    }
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        Run(m_source, m_destination);
        EXPECT_TRUE(m_host.messages.empty());
        EXPECT_EQ(Destination(kCategories),
                  (std::vector<std::string>{"K{1}|Copied|0|{1}", "plain|No braces|0|plain",
                                            "X{9}|Left over|0|{9}", "{7}|Braced only|0|{7}"}));
        EXPECT_EQ(Destination(kPhrases),
                  (std::vector<std::string>{"I1|{1}|s|copied9||0|2|0", "P1|{9}|<null>|Old9||0|1|1",
                                            "P2|{7}|<null>|Done9||0|1|1", "P3||<null>|9||0|1|1",
                                            "P4|K{12|<null>|9||0|1|1"}));
    }
}

TEST_P(ConversionRun, EmptySourceCopiesNothingAndStillWalksTheDestination) {
    {
        TestDb db(m_destination);
        AddDestinationCategory(db, "A{1}b", "Kept");
        AddDestinationPhrase(db, "P1", "A{1}b", "{\\rtf1 Hello\\par}");
    }
    Run(m_source, m_destination);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
    EXPECT_EQ(Destination(kCategories), std::vector<std::string>{"A{1}|Kept|0|{1}"});
    EXPECT_EQ(Destination(kPhrases), std::vector<std::string>{"P1|{1}|<null>|Hello9||0|1|1"});
}

TEST_P(ConversionRun, EmptySourceAndDestinationGiveAnEmptyRun) {
    Run(m_source, m_destination);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
    EXPECT_TRUE(Destination(kCategories).empty());
    EXPECT_TRUE(Destination(kPhrases).empty());
}

// Reruns over the same files: a category whose identifier the first run cut after its braced
// part is found again by that cut identifier, so every run leaves the rows of one run. Plain text
// that merely begins with a brace stays as the user wrote it.
TEST_P(ConversionRun, RerunsLeaveTheRowsOfOneRun) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "A{1}tail", "Tailed");
        AddSourceCategory(db, "B{2}", "Plain");
        AddSourceCategory(db, "c{3}More", "");
        AddSourceItem(db, "I1", "s", "{\\rtf1 One\\par}", {"A{1}tail"});
        AddSourceItem(db, "I2", "n", "{Name} is allergic to penicillin", {"B{2}"});
        AddSourceItem(db, "I3", "e", "", {"c{3}More"});
    }
    {
        TestDb db(m_destination);
        AddDestinationCategory(db, "OWN{7}extra", "Own");
        AddDestinationPhrase(db, "P7", "OWN{7}extra", "{Dear} colleague");
    }
    const std::vector<std::string> categories{"A{1}|Tailed|0|{1}", "B{2}|Plain|0|{2}",
                                              "c{3}|Undefined|0|{3}", "OWN{7}|Own|0|{7}"};
    const std::vector<std::string> phrases{
        "I1|{1}|s|One9||0|2|0", "I2|{2}|n|{Name} is allergic to penicillin9||0|2|0",
        "I3|{3}|e|9||0|2|0", "P7|{7}|<null>|{Dear} colleague9||0|1|1"};
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        m_host.startButton.clear();
        Run(m_source, m_destination);
        EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
        EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
        EXPECT_EQ(Destination(kCategories), categories);
        EXPECT_EQ(Destination(kPhrases), phrases);
    }

    // The row found by its cut identifier is edited, not merely kept.
    TestDb(m_source).Exec("UPDATE tblPhraseCategory SET Description = 'Renamed'");
    Run(m_source, m_destination);
    EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
    EXPECT_EQ(Destination(kCategories),
              (std::vector<std::string>{"A{1}|Renamed|0|{1}", "B{2}|Renamed|0|{2}",
                                        "c{3}|Renamed|0|{3}", "OWN{7}|Own|0|{7}"}));
}

// Cutting a tail can meet another row's key. The error is reported, and the passes after it
// still run.
TEST_P(ConversionRun, ADuplicateCutIsReportedAndTheLaterPassesStillRun) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "B{2}", "Plain");
        AddSourceItem(db, "I1", "s", "{\\rtf1 One\\par}", {"B{2}"});
    }
    {
        TestDb db(m_destination);
        AddDestinationCategory(db, "A{1}", "Own");
        AddDestinationCategory(db, "A{1}tail", "Own twin");
        AddDestinationPhrase(db, "P9", "Z{5}x", "{\\rtf1 Late\\par}");
    }
    Run(m_source, m_destination);

    ASSERT_EQ(m_host.messages.size(), 1u);
    const RecordingHost::Message& report = m_host.messages[0];
    EXPECT_EQ(report.kind, RecordingHost::Kind::App);
    EXPECT_NE(report.text.find("  \r\rDAO Code:  3022"), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("A{1}"), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("tblCategory"), std::string::npos) << report.text;
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
    EXPECT_EQ(Destination(kCategories),
              (std::vector<std::string>{"A{1}|Own|0|{1}", "A{1}tail|Own twin|0|<null>",
                                        "B{2}|Plain|0|<null>"}));
    EXPECT_EQ(Destination(kPhrases),
              (std::vector<std::string>{"I1|{2}|s|One9||0|2|0", "P9|{5}|<null>|Late9||0|1|1"}));
}

// Also with every update committed at once, while the source query is still being read from
// the same file.
class OneFile : public ConversionRunBase,
                public testing::WithParamInterface<std::tuple<StoreKind, int>> {
protected:
    StoreKind Kind() const override { return std::get<0>(GetParam()); }
};

TEST_P(OneFile, CanBeBothSourceAndDestination) {
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::milliseconds(std::get<1>(GetParam())));
    const std::string both = m_dir.File("both.db");
    CreateSourceDb(both);
    {
        TestDb db(both);
        db.ExecFile(ResFile("destination-schema.sql"));
        AddSourceCategory(db, "K{1}x", "Greetings");
        AddSourceItem(db, "I1", "hi", "{\\rtf1 Hello\\par}", {"K{1}x"});
        AddSourceItem(db, "I2", "yo", "", {"K{1}x"});
        for (int i = 0; i < 20; ++i) {
            const std::string id = "N{" + std::to_string(i) + "}";
            AddSourceCategory(db, id.c_str(), "More");
            AddSourceItem(db, ("J" + std::to_string(i)).c_str(), "m", "more", {id.c_str()});
        }
    }
    Run(both, both);
    EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
    TestDb db(both);
    EXPECT_EQ(db.Rows("SELECT * FROM tblCategory WHERE CategoryID LIKE 'K%'"),
              std::vector<std::string>{"K{1}|Greetings|0|{1}"});
    EXPECT_EQ(db.Rows("SELECT * FROM tblPhrase WHERE PhraseID LIKE 'I%' ORDER BY PhraseID"),
              (std::vector<std::string>{"I1|{1}|hi|Hello9||0|2|0", "I2|{1}|yo|9||0|2|0"}));
    EXPECT_EQ(db.Rows("SELECT count(*) FROM tblCategory WHERE 'N' || strCategoryID = CategoryID"),
              std::vector<std::string>{"20"});
    EXPECT_EQ(db.Rows("SELECT count(*) FROM tblPhrase WHERE Data = 'more9|'"),
              std::vector<std::string>{"20"});
    EXPECT_EQ(db.Rows("SELECT CategoryID, Description FROM tblPhraseCategory LIMIT 1"),
              std::vector<std::string>{"K{1}x|Greetings"});
}

INSTANTIATE_TEST_SUITE_P(WriteGroups, OneFile,
                         testing::Combine(testing::ValuesIn(kStoreKinds), testing::Values(500, 0)),
                         [](const testing::TestParamInfo<std::tuple<StoreKind, int>>& info) {
                             return std::string(StoreKindName(std::get<0>(info.param))) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
