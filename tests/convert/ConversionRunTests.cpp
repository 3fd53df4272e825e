// Whole runs over small source and destination files.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "convert/BracedId.h"
#include "convert/Conversion.h"
#include "db/DaoEngine.h"
#include "db/DaoException.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

constexpr const char* kCategories =
    "SELECT CategoryID, Description, ZOrder, strCategoryID FROM tblCategory ORDER BY CategoryID";
constexpr const char* kPhrases =
    "SELECT PhraseID, CategoryID, Mnemonic, Data, ZOrder, PunctuationLeading, "
    "PunctuationTrailing FROM tblPhrase ORDER BY PhraseID";

int32_t CodeOf(const CDaoException& e) { return e.m_pErrorInfo->m_lErrorCode; }

class ConversionRun : public testing::Test {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
    }

    std::vector<std::string> Destination(const char* sql) {
        return TestDb(m_destination).Rows(sql);
    }
    std::vector<std::string> AppMessagesWith(const std::string& part) const {
        std::vector<std::string> found;
        for (const auto& m : m_host.messages) {
            if (m.kind == RecordingHost::Kind::App && m.text.find(part) != std::string::npos) {
                found.push_back(m.text);
            }
        }
        return found;
    }

    TempDir m_dir;
    std::string m_source = m_dir.File("am_pub.db");
    std::string m_destination = m_dir.File("phrases.db");
    RecordingHost m_host;
};

TEST_F(ConversionRun, CopiesCategoriesAndPhrasesAndLeavesTheSourceAlone) {
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

    RunConversion(m_source, m_destination, m_host);

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

TEST_F(ConversionRun, EmptyFullDescriptionArrivesAsTheSuffixBeforeFlattening) {
    {
        TestDb db(m_source);
        AddSourceItem(db, "I1", "s", "", {"K{1}"});
        AddSourceItem(db, "I2", "s", nullptr, {"K{1}"});
    }
    {
        CSrcQryPhraseItem items;
        items.SetDBPath(m_source);
        items.Open();
        CDstTblPhrase phrases;
        phrases.SetDBPath(m_destination);
        phrases.Open();
        phrases.SetCurrentIndex("PrimaryKey");
        CopyPhrases(items, phrases);
    }
    EXPECT_EQ(Destination(kPhrases),
              (std::vector<std::string>{"I1|K{1}|s|9||0|2|0", "I2|K{1}|s|9||0|2|0"}));
}

TEST_F(ConversionRun, PhraseWithSeveralRelationsIsWrittenOnceWithTheLastCategory) {
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

    RunConversion(m_source, m_destination, m_host);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(Destination("SELECT PhraseID, CategoryID FROM tblPhrase"),
              std::vector<std::string>{"I1|" + expected});
}

TEST_F(ConversionRun, SourceCategoriesSharingAnIdEndAsOneRowWithTheLaterDescription) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Earlier");
        AddSourceCategory(db, "L{2}", "Other");
        AddSourceCategory(db, "k{1}", "Later");  // keys compare without regard to case
    }
    RunConversion(m_source, m_destination, m_host);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(Destination(kCategories),
              (std::vector<std::string>{"k{1}|Later|0|{1}", "L{2}|Other|0|{2}"}));
}

// Passes 3 to 5 rewrite every destination row, also those the run did not copy; text that an
// earlier run flattened keeps one suffix.
TEST_F(ConversionRun, RowsWithoutASourceCounterpartAreStillNormalised) {
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
        RunConversion(m_source, m_destination, m_host);
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

TEST_F(ConversionRun, EmptySourceCopiesNothingAndStillWalksTheDestination) {
    {
        TestDb db(m_destination);
        AddDestinationCategory(db, "A{1}b", "Kept");
        AddDestinationPhrase(db, "P1", "A{1}b", "{\\rtf1 Hello\\par}");
    }
    RunConversion(m_source, m_destination, m_host);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
    EXPECT_EQ(Destination(kCategories), std::vector<std::string>{"A{1}|Kept|0|{1}"});
    EXPECT_EQ(Destination(kPhrases), std::vector<std::string>{"P1|{1}|<null>|Hello9||0|1|1"});
}

TEST_F(ConversionRun, EmptySourceAndDestinationGiveAnEmptyRun) {
    RunConversion(m_source, m_destination, m_host);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
    EXPECT_TRUE(Destination(kCategories).empty());
    EXPECT_TRUE(Destination(kPhrases).empty());
}

// Reruns over the same files: a category whose identifier the first run cut after its braced
// part is found again by that cut identifier, so every run leaves the rows of one run. Plain text
// that merely begins with a brace stays as the user wrote it.
TEST_F(ConversionRun, RerunsLeaveTheRowsOfOneRun) {
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
        RunConversion(m_source, m_destination, m_host);
        EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
        EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
        EXPECT_EQ(Destination(kCategories), categories);
        EXPECT_EQ(Destination(kPhrases), phrases);
    }

    // The row found by its cut identifier is edited, not merely kept.
    TestDb(m_source).Exec("UPDATE tblPhraseCategory SET Description = 'Renamed'");
    RunConversion(m_source, m_destination, m_host);
    EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
    EXPECT_EQ(Destination(kCategories),
              (std::vector<std::string>{"A{1}|Renamed|0|{1}", "B{2}|Renamed|0|{2}",
                                        "c{3}|Renamed|0|{3}", "OWN{7}|Own|0|{7}"}));
}

// Cutting a tail can meet another row's key. The error is reported, and the passes after it
// still run.
TEST_F(ConversionRun, ADuplicateCutIsReportedAndTheLaterPassesStillRun) {
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
    RunConversion(m_source, m_destination, m_host);

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

// A destination table without the index fails when the run selects it: before the passes, so
// nothing is written and the Start button is never switched.
struct MissingIndexCase {
    const char* name;
    const char* table;
    const char* create;
};

class DestinationWithoutPrimaryKey : public ConversionRun,
                                     public testing::WithParamInterface<MissingIndexCase> {};

TEST_P(DestinationWithoutPrimaryKey, FailsBeforeAnyRowIsWritten) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Greetings");
        AddSourceItem(db, "I1", "s", "text", {"K{1}"});
    }
    {
        TestDb db(m_destination);
        db.Exec(std::string("DROP TABLE ") + GetParam().table);
        db.Exec(GetParam().create);
        AddDestinationCategory(db, "Z{9}tail", "Untouched");
    }
    const std::string before = ReadFileBytes(m_destination);
    try {
        RunConversion(m_source, m_destination, m_host);
        FAIL() << "the run went ahead without the index";
    } catch (const CDaoException& e) {
        EXPECT_EQ(CodeOf(e), DaoError::NotAnIndex) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().table), std::string::npos) << e.what();
    }
    EXPECT_TRUE(m_host.startButton.empty());
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(ReadFileBytes(m_destination), before);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DestinationWithoutPrimaryKey,
    testing::Values(MissingIndexCase{"Categories", "tblCategory",
                                     "CREATE TABLE tblCategory (CategoryID TEXT, Description TEXT, "
                                     "ZOrder INTEGER, strCategoryID TEXT)"},
                    MissingIndexCase{
                        "Phrases", "tblPhrase",
                        "CREATE TABLE tblPhrase (PhraseID TEXT, CategoryID TEXT, Mnemonic TEXT, "
                        "Data TEXT, ZOrder INTEGER, PunctuationLeading INTEGER, "
                        "PunctuationTrailing INTEGER)"}),
    [](const testing::TestParamInfo<MissingIndexCase>& info) {
        return std::string(info.param.name);
    });

// An engine error inside pass 1 or 2 leaves the run at once: the Start button stays disabled,
// and the rows written before it stay.
TEST_F(ConversionRun, ErrorInTheCopyPassEndsTheRunWithStartDisabled) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Good");
        AddSourceCategory(db, "K{2}", "Bad");
        db.Exec("UPDATE tblPhraseCategory SET Gen_Tag = 'not a number' WHERE CategoryID = 'K{2}'");
        AddSourceItem(db, "I1", "s", "text", {"K{1}"});
    }
    try {
        RunConversion(m_source, m_destination, m_host);
        FAIL() << "the run read a text as a number";
    } catch (const CDaoException& e) {
        EXPECT_EQ(CodeOf(e), DaoError::TypeConversion) << e.what();
        EXPECT_NE(std::string(e.what()).find("Gen_Tag"), std::string::npos) << e.what();
    }
    EXPECT_EQ(m_host.startButton, std::vector<bool>{false});
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(Destination(kCategories), std::vector<std::string>{"K{1}|Good|0|<null>"});
    EXPECT_TRUE(Destination(kPhrases).empty());
}

TEST_F(ConversionRun, DestinationLockedByAnotherProgramFailsTheFirstCopy) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Good");
    }
    TestDb other(m_destination);
    other.Exec("BEGIN IMMEDIATE");
    try {
        RunConversion(m_source, m_destination, m_host);
        FAIL() << "the run wrote through another program's lock";
    } catch (const CDaoException& e) {
        EXPECT_EQ(CodeOf(e), DaoError::Locked) << e.what();
        EXPECT_NE(std::string(e.what()).find(m_destination), std::string::npos) << e.what();
    }
    other.Exec("ROLLBACK");
    EXPECT_EQ(m_host.startButton, std::vector<bool>{false});
    EXPECT_TRUE(Destination(kCategories).empty());
}

// Another program reading the destination keeps the run's writes from being committed when the
// run closes its recordsets: that is reported, and the uncommitted group is undone whole.
TEST_F(ConversionRun, WritesThatCannotBeCommittedAreReportedAndUndone) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Greetings");
        AddSourceItem(db, "I1", "s", "text", {"K{1}"});
    }
    {
        TestDb db(m_destination);
        AddDestinationCategory(db, "Old{1}x", "Before");
    }
    const std::string before = ReadFileBytes(m_destination);
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::minutes(10));
    TestDb reader(m_destination);
    reader.Exec("BEGIN");
    ASSERT_EQ(reader.Count("tblCategory"), 1);
    try {
        RunConversion(m_source, m_destination, m_host);
        FAIL() << "the writes were committed under another program's read";
    } catch (const CDaoException& e) {
        EXPECT_EQ(CodeOf(e), DaoError::Locked) << e.what();
        EXPECT_NE(std::string(e.what()).find(m_destination), std::string::npos) << e.what();
    }
    reader.Exec("COMMIT");
    EXPECT_EQ(ReadFileBytes(m_destination), before);
    EXPECT_EQ(Destination(kCategories), std::vector<std::string>{"Old{1}x|Before|0|<null>"});
}

// Also with every update committed at once, while the source query is still being read from
// the same file.
class OneFile : public ConversionRun, public testing::WithParamInterface<int> {};

TEST_P(OneFile, CanBeBothSourceAndDestination) {
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::milliseconds(GetParam()));
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
    RunConversion(both, both, m_host);
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

INSTANTIATE_TEST_SUITE_P(WriteGroups, OneFile, testing::Values(500, 0));

}  // namespace
