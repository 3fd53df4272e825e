// The Start button's work as a host sees it: which messages, in which order, and what becomes of
// the Start button and the workspace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/StartCommand.h"
#include "db/DaoException.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/StartCommandFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

// The workgroup file is joined to its folder with the separator the folder is written with.
#ifdef _WIN32
constexpr const char* kWorkgroupInFolder = "\\VELTRANE.MDW";
#else
constexpr const char* kWorkgroupInFolder = "/VELTRANE.MDW";
#endif

using Kind = RecordingHost::Kind;

class StartFlow : public StartCommandFixture {
protected:
    void SetUp() override {
        StartCommandFixture::SetUp();
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
        {
            TestDb db(m_source);
            AddSourceCategory(db, "K{1}", "Greetings");
            AddSourceItem(db, "I1", "hi", "{\\rtf1 Hello\\par}", {"K{1}"});
        }
        WriteFileBytes(m_dir.File("VELTRANE.MDW"), "workgroup");
        m_registry.value = m_dir.Path().string();  // the folder; the file name is appended
    }

    int64_t Phrases() { return TestDb(m_destination).Count("tblPhrase"); }
};

TEST_F(StartFlow, SuccessfulRunEndsWithTheCompletionMessage) {
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 1u) << m_host.Texts().front();
    EXPECT_EQ(m_host.messages[0].kind, Kind::Owned);
    EXPECT_EQ(m_host.messages[0].text, "Conversion complete!");
    EXPECT_EQ(m_host.messages[0].caption, "Tallowmere");
    EXPECT_EQ(m_host.messages[0].style, MB_OK);
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true, true}));
    EXPECT_FALSE(m_start.Workspace());
    EXPECT_EQ(AfxDaoGetEngine()->GetSystemDB(), m_dir.Path().string() + kWorkgroupInFolder);
    EXPECT_EQ(Phrases(), 1);
}

TEST_F(StartFlow, MissingLookupKeyEndsBeforeTheEngineStarts) {
    m_registry.keyExists = false;
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].text, "Error opening VeltraneSystemPath registry key.");
    EXPECT_EQ(m_host.messages[0].caption, "Ferrowick");
    EXPECT_TRUE(m_host.startButton.empty());
    EXPECT_FALSE(m_start.Workspace());
    EXPECT_EQ(Phrases(), 0);
}

TEST_F(StartFlow, GivenWorkgroupFileSkipsTheLookup) {
    m_registry.keyExists = false;
    m_start.SetWorkgroupFile(m_dir.File("VELTRANE.MDW"));
    m_start.RunAndReport(m_source, m_destination);
    EXPECT_TRUE(m_registry.openedKeys.empty());
    EXPECT_EQ(m_host.Texts(), std::vector<std::string>{"Conversion complete!"});
}

// The engine's error comes first, then the Start handler's own; no run takes place. The
// workspace object that failed to be created stays, so the next Start goes ahead with it.
TEST_F(StartFlow, MissingWorkgroupFileGivesTwoMessagesThenTheNextStartReusesTheWorkspace) {
    m_registry.value = m_dir.File("elsewhere");
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 2u);
    EXPECT_EQ(m_host.messages[0].kind, Kind::App);
    EXPECT_NE(m_host.messages[0].text.find("  \r\rDAO Code:  3028"), std::string::npos)
        << m_host.messages[0].text;
    EXPECT_NE(m_host.messages[0].text.find(m_dir.File("elsewhere") + kWorkgroupInFolder),
              std::string::npos)
        << m_host.messages[0].text;
    EXPECT_EQ(m_host.messages[1].kind, Kind::Owned);
    EXPECT_EQ(m_host.messages[1].text, "Failed initializing database engine.");
    EXPECT_EQ(m_host.messages[1].caption, "Ferrowick");
    EXPECT_EQ(m_host.messages[1].style, MB_OK);
    EXPECT_TRUE(m_host.startButton.empty());
    ASSERT_TRUE(m_start.Workspace());
    EXPECT_FALSE(m_start.Workspace()->IsOpen());
    EXPECT_EQ(Phrases(), 0);

    m_host.messages.clear();
    m_start.RunAndReport(m_source, m_destination);
    EXPECT_EQ(m_host.Texts(), std::vector<std::string>{"Conversion complete!"});
    EXPECT_FALSE(m_start.Workspace());
    EXPECT_EQ(Phrases(), 1);
}

// The run fails on opening: the engine error leaves the handler and is reported by the general
// handler; the workspace stays made and the Start button ends enabled.
TEST_F(StartFlow, MissingSourceIsReportedWithoutCompletion) {
    const std::string missing = m_dir.File("missing.db");
    EXPECT_THROW(m_start.Run(missing, m_destination), CDaoException);
    ASSERT_TRUE(m_start.Workspace());
    EXPECT_TRUE(m_host.messages.empty());

    m_start.RunAndReport(missing, m_destination);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].kind, Kind::App);
    EXPECT_NE(m_host.messages[0].text.find(missing), std::string::npos) << m_host.messages[0].text;
    EXPECT_NE(m_host.messages[0].text.find("  \r\rDAO Code:  3024"), std::string::npos)
        << m_host.messages[0].text;
    EXPECT_EQ(m_host.startButton, std::vector<bool>{true});
    const CDaoWorkspace* kept = m_start.Workspace().get();
    ASSERT_NE(kept, nullptr);
    EXPECT_TRUE(kept->IsOpen());

    // The next Start with a good source reuses that workspace and closes it at the end.
    m_host.messages.clear();
    m_start.RunAndReport(m_source, m_destination);
    EXPECT_EQ(m_host.Texts(), std::vector<std::string>{"Conversion complete!"});
    EXPECT_FALSE(m_start.Workspace());
}

// An engine error inside the copy passes ends the run before it could enable Start again; the
// handler does, after the rows written so far.
TEST_F(StartFlow, AnErrorThatEndsTheRunEnablesStartAgain) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{2}", "Bad");
        db.Exec("UPDATE tblPhraseCategory SET Gen_Tag = 'not a number' WHERE CategoryID = 'K{2}'");
    }
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0].kind, Kind::App);
    EXPECT_NE(m_host.messages[0].text.find("Gen_Tag"), std::string::npos)
        << m_host.messages[0].text;
    EXPECT_EQ(m_host.startButton, (std::vector<bool>{false, true}));
}

TEST_F(StartFlow, ErrorReportedByAPassStillEndsWithCompletion) {
    {
        TestDb db(m_destination);  // the category pass cuts the second onto the first
        AddDestinationCategory(db, "A{1}", "Own");
        AddDestinationCategory(db, "A{1}tail", "Own twin");
    }
    m_start.RunAndReport(m_source, m_destination);
    ASSERT_EQ(m_host.messages.size(), 2u);
    EXPECT_NE(m_host.messages[0].text.find("DAO Code:  3022"), std::string::npos);
    EXPECT_EQ(m_host.messages[1].text, "Conversion complete!");
}

}  // namespace
