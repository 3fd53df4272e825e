// The program's own defaults for keys the user's settings lack, and what the user is told about
// the workgroup setting when the lookup finds nothing usable.
#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <filesystem>
#include <ostream>
#include <string>

#include "db/EngineStart.h"
#include "platform/SettingsRegistry.h"
#include "platform/WorkgroupSettingHelp.h"
#include "tests/support/TempDir.h"

namespace {

class ProgramDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Q(m_user.string()));
    }
    static QString Q(const std::string& text) { return QString::fromStdString(text); }
    // The lookup file under a settings folder (the user's, or a defaults folder).
    static std::string LookupFile(const std::filesystem::path& folder) {
        return (folder / "VB and VBA Program Settings" / "zrb.ini.conf").string();
    }
    static void WriteLookup(const std::filesystem::path& folder, const std::string& body) {
        std::filesystem::create_directories(folder / "VB and VBA Program Settings");
        WriteFileBytes(LookupFile(folder), body);
    }
    static std::string Query(SettingsRegistry& registry) {
        char buffer[256] = "";
        if (!registry.OpenKey(kWorkgroupLookupKey)) return "<no key>";
        const bool found = registry.QueryValue(kWorkgroupLookupValue, buffer, sizeof buffer);
        registry.CloseKey();
        return found ? std::string(buffer) : "<no value>";
    }

    TempDir m_dir;
    std::filesystem::path m_user = m_dir.Path() / "config";
    std::filesystem::path m_missing = m_dir.Path() / "nowhere";
    std::filesystem::path m_first = m_dir.Path() / "share-1";
    std::filesystem::path m_second = m_dir.Path() / "share-2";
};

// Which file answers: the user's where it has the group (even without the value), else the
// first defaults folder that has the file at all, else none.
TEST_F(ProgramDefaultsTest, TheUsersKeyWinsThenTheFirstDefaultsFileThatExists) {
    SettingsRegistry registry({Q(m_missing.string()), Q(m_first.string()), Q(m_second.string())});
    EXPECT_EQ(Query(registry), "<no key>");
    EXPECT_EQ(registry.DefaultsFile(kWorkgroupLookupKey), QString());

    WriteLookup(m_second, "[OptionsDataFile]\nVeltraneSystemPath=\"/opt/second, a\"\n");
    EXPECT_EQ(Query(registry), "/opt/second, a");
    WriteLookup(m_first, "[Other]\nVeltraneSystemPath=/opt/first\n");
    EXPECT_EQ(Query(registry), "<no key>");  // the first file there answers, without the group
    EXPECT_EQ(registry.DefaultsFile(kWorkgroupLookupKey), Q(LookupFile(m_first)));
    WriteLookup(m_first, "[OptionsDataFile]\nVeltraneSystemPath=/opt/first\n");
    EXPECT_EQ(Query(registry), "/opt/first");
    EXPECT_FALSE(registry.UserHasKey(kWorkgroupLookupKey));

    WriteLookup(m_user, "[OptionsDataFile]\n");
    EXPECT_TRUE(registry.UserHasKey(kWorkgroupLookupKey));
    EXPECT_EQ(Query(registry), "<no value>");
    WriteLookup(m_user, "[OptionsDataFile]\nVeltraneSystemPath=/home/me/workgroup\n");
    EXPECT_EQ(Query(registry), "/home/me/workgroup");
}

// The build folder holds the same defaults the install lays: a setting naming the folder it is
// in, and the workgroup file there.
TEST_F(ProgramDefaultsTest, TheBuildFolderHoldsTheDefaultWorkgroup) {
    const std::string folder = TALLOWMERE_BUILD_DIR "/share/tallowmere";
    SettingsRegistry registry({Q(folder)});
    EXPECT_EQ(Query(registry), folder);
    EXPECT_TRUE(std::filesystem::is_regular_file(JoinWorkgroupFile(Query(registry))));
}

struct HelpCase {
    const char* name;
    bool userKey;      // the user's file has the group
    bool defaults;     // the program's defaults file is there
    bool missingFile;  // the setting named a folder without the workgroup file
    const char* says;  // where the help says the folder is read from
};

void PrintTo(const HelpCase& c, std::ostream* out) { *out << c.name; }

class WorkgroupHelpTest : public ProgramDefaultsTest,
                          public ::testing::WithParamInterface<HelpCase> {};

TEST_P(WorkgroupHelpTest, SaysWhichSettingIsReadFromWhereAndHowToSetIt) {
    const HelpCase& c = GetParam();
    if (c.userKey) WriteLookup(m_user, "[OptionsDataFile]\nVeltraneSystemPath=/w\n");
    if (c.defaults) WriteLookup(m_first, "[OptionsDataFile]\nVeltraneSystemPath=/w\n");
    SettingsRegistry registry({Q(m_first.string())});
    const std::string help =
        SettingsWorkgroupSetupHelp(registry)(c.missingFile ? "/w/VELTRANE.MDW" : "");

    std::string says = c.says;
    for (const auto& [name, path] :
         {std::pair{"USER", LookupFile(m_user)}, std::pair{"DEFAULTS", LookupFile(m_first)},
          std::pair{"FOLDER", m_first.string()}}) {
        for (auto at = says.find(name); at != std::string::npos; at = says.find(name)) {
            says.replace(at, std::string(name).size(), path);
        }
    }
    const std::string opening =
        c.missingFile ? "The workgroup information file /w/VELTRANE.MDW is missing. Its folder "
                        "is read from the key VeltraneSystemPath in the group [OptionsDataFile] "
                        "of "
                      : "The folder of the workgroup information file, VELTRANE.MDW, is read from "
                        "the key VeltraneSystemPath in the group [OptionsDataFile] of ";
    EXPECT_EQ(help.rfind(opening + says, 0), 0u) << help;
    EXPECT_TRUE(help.ends_with("To set it, put these two lines in\n  " + LookupFile(m_user) +
                               "\nnaming the folder that holds VELTRANE.MDW:\n"
                               "  [OptionsDataFile]\n  VeltraneSystemPath=/path/to/folder"))
        << help;
}

INSTANTIATE_TEST_SUITE_P(
    Situations, WorkgroupHelpTest,
    ::testing::Values(
        HelpCase{"NoSettingAnywhere", false, false, false,
                 "the file\n  USER\nand the default that the install lays beside the program "
                 "was not found in\n  FOLDER\nIt is not set.\n"},
        HelpCase{"OnlyTheDefaultsFile", false, true, false,
                 "the file\n  USER\nor, where it has no such group, of the program's default "
                 "file\n  DEFAULTS\nIt is not set.\n"},
        HelpCase{"TheUsersFolderLacksTheFile", true, true, true, "the file\n  USER\nor, where"},
        HelpCase{"TheDefaultsFolderLacksTheFile", false, true, true,
                 "the program's default file\n  DEFAULTS\nwhich stands in while this file has "
                 "no such group:\n  USER\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
