// Workgroup lookup, engine start, workspace close and the one form of an engine error message.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "db/DaoEngine.h"
#include "db/EngineStart.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"

namespace {

constexpr unsigned kRegistryStyle = MB_ICONINFORMATION | MB_TASKMODAL | MB_OK;

struct LookupCase {
    const char* name;
    bool keyExists;
    std::optional<std::string> value;
    bool closeSucceeds;
    int result;
    std::string path;
    std::optional<std::string> message;  // the one message box shown, if any
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

class WorkgroupLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(WorkgroupLookup, FormsThePathOrReports) {
    const LookupCase& c = GetParam();
    FakeRegistry registry;
    registry.keyExists = c.keyExists;
    registry.value = c.value;
    registry.closeSucceeds = c.closeSucceeds;
    RecordingMessages messages;
    std::string path;

    EXPECT_EQ(GetSystemDatabasePath(path, registry, messages), c.result);
    EXPECT_EQ(path, c.path);
    EXPECT_EQ(registry.openedKeys,
              std::vector<std::string>{
                  "Software\\VB and VBA Program Settings\\zrb.ini\\OptionsDataFile"});
    if (c.keyExists) {
        EXPECT_EQ(registry.queriedValues, std::vector<std::string>{"VeltraneSystemPath"});
        EXPECT_EQ(registry.closes, 1);
    } else {
        EXPECT_TRUE(registry.queriedValues.empty());
        EXPECT_EQ(registry.closes, 0);
    }
    if (c.message) {
        ASSERT_EQ(messages.messages.size(), 1u);
        const RecordedMessage& m = messages.messages[0];
        EXPECT_EQ(m.kind, RecordedMessage::Kind::Owned);
        EXPECT_EQ(m.text, *c.message);
        EXPECT_EQ(m.caption, "Ferrowick");
        EXPECT_EQ(m.style, kRegistryStyle);
    } else {
        EXPECT_TRUE(messages.messages.empty());
    }
}

const std::string k255(255, 'd');
#ifdef _WIN32
const std::string kFolderSeparator = "\\";
#else
const std::string kFolderSeparator = "/";
#endif
const std::string k256(256, 'd');

INSTANTIATE_TEST_SUITE_P(
    Registry, WorkgroupLookup,
    testing::Values(
        LookupCase{"MissingKey", false, "C:\\Veltrane", true, 0, "",
                   "Error opening VeltraneSystemPath registry key."},
        LookupCase{"Folder", true, "C:\\Program Files\\Veltrane", true, 1,
                   "C:\\Program Files\\Veltrane\\VELTRANE.MDW", std::nullopt},
        LookupCase{"TrailingBackslashIsDoubled", true, "C:\\Veltrane\\", true, 1,
                   "C:\\Veltrane\\\\VELTRANE.MDW", std::nullopt},
        LookupCase{"EmptyValue", true, "", true, 1, "\\VELTRANE.MDW", std::nullopt},
        LookupCase{"MissingValue", true, std::nullopt, true, 1, "", std::nullopt},
        LookupCase{"LongestValueThatFits", true, k255, true, 1, k255 + "\\VELTRANE.MDW",
                   std::nullopt},
        LookupCase{"OverLongValue", true, k256, true, 1, "", std::nullopt},
        LookupCase{"CloseFails", true, "C:\\Veltrane", false, 0, "C:\\Veltrane\\VELTRANE.MDW",
                   "Error closing VeltraneSystemPath registry key."},
        LookupCase{"SlashFolderJoinsWithTheFolderSeparator", true, "/home/u/Veltrane", true, 1,
                   "/home/u/Veltrane" + kFolderSeparator + "VELTRANE.MDW", std::nullopt},
        LookupCase{"SlashFolderEndingInBackslashKeepsTheBackslash", true, "/home/u/Veltrane\\",
                   true, 1, "/home/u/Veltrane\\\\VELTRANE.MDW", std::nullopt},
        LookupCase{"CloseFailsWithoutValue", true, std::nullopt, false, 0, "",
                   "Error closing VeltraneSystemPath registry key."}),
    [](const testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

class EngineStart : public testing::Test {
protected:
    void SetUp() override { UseTestEngineSettings(); }
    void TearDown() override { UseTestEngineSettings(); }

    TempDir m_dir;
    RecordingMessages m_messages;
    std::unique_ptr<CDaoWorkspace> m_pWorkspace;
};

TEST_F(EngineStart, DefaultWorkgroupMakesTheWorkspace) {
    EXPECT_EQ(StartDaoEngine("", m_pWorkspace, m_messages), 1);
    ASSERT_TRUE(m_pWorkspace);
    EXPECT_TRUE(m_pWorkspace->IsOpen());
    EXPECT_EQ(m_pWorkspace->GetName(), "Tallowmere");
    EXPECT_EQ(m_pWorkspace->GetUserName(), "NKW");
    EXPECT_EQ(AfxDaoGetEngine()->GetSystemDB(), "");
    EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(EngineStart, WorkgroupPathFormedTheRegistryWayFindsTheFile) {
    WriteFileBytes(m_dir.File("VELTRANE.MDW"), "workgroup");
    const std::string path = m_dir.Path().string() + "\\VELTRANE.MDW";
    EXPECT_EQ(StartDaoEngine(path, m_pWorkspace, m_messages), 1);
    ASSERT_TRUE(m_pWorkspace);
    EXPECT_TRUE(m_pWorkspace->IsOpen());
    EXPECT_EQ(AfxDaoGetEngine()->GetSystemDB(), path);
    EXPECT_TRUE(m_messages.messages.empty());
}

// A failed create leaves the not-created workspace in place; the next start keeps it and
// succeeds without creating it.
TEST_F(EngineStart, MissingWorkgroupIsReportedAndTheWorkspaceObjectIsReused) {
    const std::string missing = m_dir.File("nowhere") + "\\VELTRANE.MDW";
    EXPECT_EQ(StartDaoEngine(missing, m_pWorkspace, m_messages), 0);
    ASSERT_EQ(m_messages.messages.size(), 1u);
    const RecordedMessage& m = m_messages.messages[0];
    EXPECT_EQ(m.kind, RecordedMessage::Kind::App);
    EXPECT_EQ(m.style, MB_OK);
    EXPECT_NE(m.text.find(missing), std::string::npos) << m.text;
    EXPECT_NE(m.text.find("  \r\rDAO Code:  3028"), std::string::npos) << m.text;
    ASSERT_TRUE(m_pWorkspace);
    EXPECT_FALSE(m_pWorkspace->IsOpen());
    const CDaoWorkspace* kept = m_pWorkspace.get();

    m_messages.messages.clear();
    EXPECT_EQ(StartDaoEngine(missing, m_pWorkspace, m_messages), 1);
    EXPECT_EQ(m_pWorkspace.get(), kept);
    EXPECT_FALSE(m_pWorkspace->IsOpen());
    EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(EngineStart, TheWorkgroupIsSetAnewAtEveryStart) {
    EXPECT_EQ(StartDaoEngine("", m_pWorkspace, m_messages), 1);
    const CDaoWorkspace* first = m_pWorkspace.get();
    const std::string other = m_dir.File("other.mdw");
    EXPECT_EQ(StartDaoEngine(other, m_pWorkspace, m_messages), 1);
    EXPECT_EQ(AfxDaoGetEngine()->GetSystemDB(), other);
    EXPECT_EQ(m_pWorkspace.get(), first);
}

TEST_F(EngineStart, CloseWorkspaceDeletesItAndToleratesNone) {
    EXPECT_EQ(CloseWorkspace(m_pWorkspace, m_messages), 1);
    EXPECT_FALSE(m_pWorkspace);
    ASSERT_EQ(StartDaoEngine("", m_pWorkspace, m_messages), 1);
    EXPECT_EQ(CloseWorkspace(m_pWorkspace, m_messages), 1);
    EXPECT_FALSE(m_pWorkspace);
    // A closed workspace is made again by the next start.
    EXPECT_EQ(StartDaoEngine("", m_pWorkspace, m_messages), 1);
    ASSERT_TRUE(m_pWorkspace);
    EXPECT_TRUE(m_pWorkspace->IsOpen());
    EXPECT_TRUE(m_messages.messages.empty());
}

struct MessageCase {
    const char* name;
    int32_t code;
    std::string description;
    std::string message;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }

class EngineErrorMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(EngineErrorMessage, IsDescriptionThenCode) {
    const MessageCase& c = GetParam();
    const CDaoException e(c.code, c.description);
    EXPECT_EQ(DaoErrorMessage(e), c.message);
    RecordingMessages messages;
    ReportDaoException(e, messages);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].kind, RecordedMessage::Kind::App);
    EXPECT_EQ(messages.messages[0].text, c.message);
    EXPECT_EQ(messages.messages[0].style, MB_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, EngineErrorMessage,
    testing::Values(MessageCase{"Typical", 3024, "Could not find file 'a.db'.",
                                "Could not find file 'a.db'.  \r\rDAO Code:  3024"},
                    MessageCase{"EmptyDescription", 3022, "", "  \r\rDAO Code:  3022"},
                    MessageCase{"NegativeCode", -2147467259, "Unspecified error",
                                "Unspecified error  \r\rDAO Code:  -2147467259"},
                    MessageCase{"SmallestCode", INT32_MIN, "x", "x  \r\rDAO Code:  -2147483648"},
                    MessageCase{"ZeroCode", 0, "x", "x  \r\rDAO Code:  0"}),
    [](const testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

}  // namespace
