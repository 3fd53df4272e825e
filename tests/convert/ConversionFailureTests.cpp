// Whole runs that fail: a missing index, an unreadable row, another program's locks. Once per
// store.
#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "db/DaoEngine.h"
#include "tests/convert/ConversionRunFixture.h"
#include "tests/support/StoreKinds.h"

namespace {

class ConversionFailure : public PerStoreConversion {};

INSTANTIATE_TEST_SUITE_P(Stores, ConversionFailure, testing::ValuesIn(kStoreKinds), StoreCaseName);

// A destination table without the index fails when the run selects it: before the passes, so
// nothing is written and the Start button is never switched.
struct MissingIndexCase {
    const char* name;
    const char* table;
    const char* create;
};

class DestinationWithoutPrimaryKey
    : public ConversionRunBase,
      public testing::WithParamInterface<std::tuple<StoreKind, MissingIndexCase>> {
protected:
    StoreKind Kind() const override { return std::get<0>(GetParam()); }
    const MissingIndexCase& Case() const { return std::get<1>(GetParam()); }
};

TEST_P(DestinationWithoutPrimaryKey, FailsBeforeAnyRowIsWritten) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Greetings");
        AddSourceItem(db, "I1", "s", "text", {"K{1}"});
    }
    {
        TestDb db(m_destination);
        db.Exec(std::string("DROP TABLE ") + Case().table);
        db.Exec(Case().create);
        AddDestinationCategory(db, "Z{9}tail", "Untouched");
    }
    const std::string before = ReadFileBytes(m_destination);
    try {
        Run(m_source, m_destination);
        FAIL() << "the run went ahead without the index";
    } catch (const CDaoException& e) {
        EXPECT_EQ(CodeOf(e), DaoError::NotAnIndex) << e.what();
        EXPECT_NE(std::string(e.what()).find(Case().table), std::string::npos) << e.what();
    }
    EXPECT_TRUE(m_host.startButton.empty());
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(ReadFileBytes(m_destination), before);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DestinationWithoutPrimaryKey,
    testing::Combine(
        testing::ValuesIn(kStoreKinds),
        testing::Values(
            MissingIndexCase{"Categories", "tblCategory",
                             "CREATE TABLE tblCategory (CategoryID TEXT, Description TEXT, "
                             "ZOrder INTEGER, strCategoryID TEXT)"},
            MissingIndexCase{"Phrases", "tblPhrase",
                             "CREATE TABLE tblPhrase (PhraseID TEXT, CategoryID TEXT, Mnemonic "
                             "TEXT, Data TEXT, ZOrder INTEGER, PunctuationLeading INTEGER, "
                             "PunctuationTrailing INTEGER)"})),
    [](const testing::TestParamInfo<std::tuple<StoreKind, MissingIndexCase>>& info) {
        return std::string(StoreKindName(std::get<0>(info.param))) + "_" +
               std::get<1>(info.param).name;
    });

// An engine error inside pass 1 or 2 leaves the run at once: the Start button stays disabled,
// and the rows written before it stay.
TEST_P(ConversionFailure, ErrorInTheCopyPassEndsTheRunWithStartDisabled) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Good");
        AddSourceCategory(db, "K{2}", "Bad");
        db.Exec("UPDATE tblPhraseCategory SET Gen_Tag = 'not a number' WHERE CategoryID = 'K{2}'");
        AddSourceItem(db, "I1", "s", "text", {"K{1}"});
    }
    try {
        Run(m_source, m_destination);
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

// A connection string may carry a password: no message about its rows may show it.
TEST(ConversionFailureOverOdbc, AMessageAboutARowNeverShowsTheConnectionPassword) {
    if (!kSqliteOdbcDriverInstalled) GTEST_SKIP() << kNoSqliteOdbcDriver;
    UseTestEngineSettings();
    TempDir dir;
    const std::string source = dir.File("am_pub.db");
    const std::string destination = dir.File("phrases.db");
    CreateSourceDb(source);
    CreateDestinationDb(destination);
    {
        TestDb db(source);
        AddSourceCategory(db, "K{1}", "Bad");
        db.Exec("UPDATE tblPhraseCategory SET Gen_Tag = 'not a number'");
    }
    RecordingHost host;
    const std::string secret = ";PWD=s3cr3t-word";
    try {
        RunConversion(DatabaseName(StoreKind::OdbcOverSqlite, source) + secret,
                      DatabaseName(StoreKind::OdbcOverSqlite, destination) + secret, host);
        FAIL() << "the run read a text as a number";
    } catch (const CDaoException& e) {
        const std::string message = e.what();
        EXPECT_EQ(CodeOf(e), DaoError::TypeConversion) << message;
        EXPECT_NE(message.find(source), std::string::npos) << message;
        EXPECT_EQ(message.find("s3cr3t"), std::string::npos) << message;
    }
}

TEST_P(ConversionFailure, DestinationLockedByAnotherProgramFailsTheFirstCopy) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Good");
    }
    TestDb other(m_destination);
    other.Exec("BEGIN IMMEDIATE");
    try {
        Run(m_source, m_destination);
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
TEST_P(ConversionFailure, WritesThatCannotBeCommittedAreReportedAndUndone) {
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
        Run(m_source, m_destination);
        FAIL() << "the writes were committed under another program's read";
    } catch (const CDaoException& e) {
        EXPECT_EQ(CodeOf(e), DaoError::Locked) << e.what();
        EXPECT_NE(std::string(e.what()).find(m_destination), std::string::npos) << e.what();
    }
    reader.Exec("COMMIT");
    EXPECT_EQ(ReadFileBytes(m_destination), before);
    EXPECT_EQ(Destination(kCategories), std::vector<std::string>{"Old{1}x|Before|0|<null>"});
}

}  // namespace
