// A newcomer's first Start in the window: with no settings of their own the program's default
// workgroup is used; where no setting can be found, or it names a folder without the workgroup
// file, the messages stay as they are and carry where to set it. And the About box and the
// console program agree on the version.
#include <gtest/gtest.h>

#include <QPushButton>
#include <filesystem>

#include "cli/ConsoleProgram.h"
#include "platform/Profile.h"
#include "platform/SettingsRegistry.h"
#include "tests/support/TestDatabases.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CConvertDlg.h"
#include "ui/DialogTemplate.h"
#include "ui/Resources.h"

namespace {

// Where the settings are files: on Windows they are the registry, which the installer of the
// applications that own the workgroup fills.
#ifndef Q_OS_WIN
class FirstRunTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        CreateSourceDb(m_source);
        TestDb db(m_source);
        AddSourceCategory(db, "Cardiology {C1}", "Heart");
        AddSourceItem(db, "I1", "bp", "blood pressure", {"Cardiology {C1}"});
        CreateDestinationDb(m_destination);
        profile.WriteProfileString("Paths", "Source", m_source);
        profile.WriteProfileString("Paths", "Destination", m_destination);
    }
    // Starts a run in a window whose settings are read with these defaults folders.
    void StartWith(const QStringList& defaultsFolders) {
        SettingsRegistry registry(defaultsFolders);
        CConvertDlg dlg(profile, {&messages, &files, &registry});
        ASSERT_TRUE(dlg.Initialize());
        qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_START))->click();
        dlg.OnCancel();
    }
    std::string LookupFile() const {
        return (std::filesystem::path(qEnvironmentVariable("XDG_CONFIG_HOME").toStdString()) /
                "VB and VBA Program Settings" / "zrb.ini.conf")
            .string();
    }

    std::string m_source = m_data.File("am_pub.mdb");
    std::string m_destination = m_data.File("Scrivane.mdb");
    Profile profile{"Veltrane", "Tallowmere"};
    FakeMessages messages;
    FakeFileDialog files;
};

TEST_F(FirstRunTest, WithoutSettingsTheProgramsDefaultWorkgroupServes) {
    StartWith({QStringLiteral(TALLOWMERE_BUILD_DIR "/share/tallowmere")});
    ASSERT_EQ(messages.shown.size(), 1u) << messages.shown[0].text;
    EXPECT_EQ(messages.shown[0].text, "Conversion complete!");
    EXPECT_EQ(TestDb(m_destination).Count("tblPhrase"), 1);
}

TEST_F(FirstRunTest, WithoutAnySettingTheMessageCarriesWhereToSetIt) {
    StartWith({QString::fromStdString(m_data.File("no-defaults"))});
    ASSERT_EQ(messages.shown.size(), 1u);
    const ShownMessage& m = messages.shown[0];
    EXPECT_TRUE(m.owned);
    EXPECT_EQ(m.text, "Error opening VeltraneSystemPath registry key.");
    EXPECT_EQ(m.caption, "Ferrowick");
    EXPECT_EQ(m.style, MB_ICONINFORMATION | MB_TASKMODAL | MB_OK);
    EXPECT_EQ(m.details.rfind("The folder of the workgroup information file, VELTRANE.MDW, is read "
                              "from the key VeltraneSystemPath in the group [OptionsDataFile] of "
                              "the file\n  " +
                                  LookupFile() + "\n",
                              0),
              0u)
        << m.details;
    EXPECT_NE(m.details.find("  [OptionsDataFile]\n  VeltraneSystemPath=/path/to/folder"),
              std::string::npos)
        << m.details;
    EXPECT_EQ(m.details.find("--workgroup"), std::string::npos);  // the console's own way
    EXPECT_EQ(TestDb(m_destination).Count("tblPhrase"), 0);
}

TEST_F(FirstRunTest, AFolderWithoutTheWorkgroupFileIsNamedInTheLastBox) {
    const std::string folder = m_data.File("empty-folder");
    std::filesystem::create_directories(folder);
    m_profile->WriteWorkgroupLookup(folder);
    StartWith({});
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("DAO Code:  3028"), std::string::npos);
    EXPECT_EQ(messages.shown[0].details, "");
    const ShownMessage& last = messages.shown[1];
    EXPECT_EQ(last.text, "Failed initializing database engine.");
    EXPECT_EQ(last.caption, "Ferrowick");
    EXPECT_EQ(last.style, MB_OK);
    EXPECT_EQ(last.details.rfind(
                  "The workgroup information file " + folder + "/VELTRANE.MDW is missing.", 0),
              0u)
        << last.details;
    EXPECT_NE(last.details.find(LookupFile()), std::string::npos) << last.details;
}

#endif

// The About box's version line and the console program's --version name the same version.
TEST(VersionAgreement, TheAboutBoxAndTheConsoleProgramShowOneVersion) {
    const DialogTemplate* about = FindDialogTemplate(IDD_ABOUTBOX);
    ASSERT_NE(about, nullptr);
    const std::string prefix = "Tallowmere Version ";
    std::string shown;
    for (const DialogItemTemplate& item : about->items) {
        const std::string text(item.text);
        if (text.rfind(prefix, 0) == 0) shown = text.substr(prefix.size());
    }
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(VersionText(), "tallowmere-convert (Tallowmere) " + shown);
}

}  // namespace
