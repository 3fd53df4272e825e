// The registry and profile stand-ins over QSettings, each test in a scratch folder of its own.
#include <gtest/gtest.h>

#include <QSettings>
#include <filesystem>
#include <ostream>
#include <string>

#include "platform/Profile.h"
#include "platform/SettingsRegistry.h"
#include "tests/support/TempDir.h"

namespace {

constexpr const char* kLookupKey =
    "Software\\VB and VBA Program Settings\\zrb.ini\\OptionsDataFile";

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_dir.Path().string()));
    }
    void WriteLookup(const std::string& body) {
        const auto folder = m_dir.Path() / "VB and VBA Program Settings";
        std::filesystem::create_directories(folder);
        WriteFileBytes((folder / "zrb.ini.conf").string(), body);
    }
    TempDir m_dir;
};

TEST_F(PlatformTest, OpeningAMissingKeyFails) {
    SettingsRegistry registry;
    EXPECT_FALSE(registry.OpenKey(kLookupKey));
    WriteLookup("[OtherGroup]\nVeltraneSystemPath=/x\n");
    EXPECT_FALSE(registry.OpenKey(kLookupKey));
    EXPECT_FALSE(registry.CloseKey());  // nothing open
}

// The group alone is the key: it opens, and only the value is missing.
TEST_F(PlatformTest, ALookupGroupWithoutValuesOpens) {
    for (const char* body :
         {"[OptionsDataFile]\n", "[Other]\nx=1\r\n[OptionsDataFile]\r\n; none\r\n"}) {
        WriteLookup(body);
        SettingsRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kLookupKey)) << body;
        char buffer[256] = "untouched";
        EXPECT_FALSE(registry.QueryValue("VeltraneSystemPath", buffer, sizeof buffer));
        EXPECT_TRUE(registry.CloseKey());
    }
}

struct QueryCase {
    const char* name;
    std::string stored;  // empty: no such value
    bool found;
};

void PrintTo(const QueryCase& c, std::ostream* out) { *out << c.name; }

class QueryValueTest : public PlatformTest, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(QueryValueTest, ReadsOnlyValuesThatFitTheBuffer) {
    const QueryCase& c = GetParam();
    std::string body = "[OptionsDataFile]\nOther=1\n";
    if (!c.stored.empty()) body += "VeltraneSystemPath=" + c.stored + "\n";
    WriteLookup(body);
    SettingsRegistry registry;
    // A trailing separator names the same key.
    ASSERT_TRUE(registry.OpenKey(std::string(kLookupKey) + "\\"));
    char buffer[256] = "untouched";
    EXPECT_EQ(registry.QueryValue("VeltraneSystemPath", buffer, sizeof buffer), c.found);
    if (c.found) {
        EXPECT_EQ(std::string(buffer), c.stored);
    }
    EXPECT_TRUE(registry.CloseKey());
}

INSTANTIATE_TEST_SUITE_P(Values, QueryValueTest,
                         ::testing::Values(QueryCase{"Missing", "", false},
                                           QueryCase{"Short", "/opt/veltrane", true},
                                           QueryCase{"Fits255", std::string(255, 'p'), true},
                                           QueryCase{"Over255", std::string(256, 'p'), false},
                                           QueryCase{"Comma", "/opt/a,b", true},
                                           QueryCase{"CommaAndSpaces", "/opt/Old, new ,x", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlatformTest, ProfileReadsDefaultsWithoutWritingAndKeepsEachApplicationApart) {
    Profile profile("Veltrane", "Tallowmere");
    EXPECT_EQ(profile.GetProfileString("Paths", "Source", "dflt"), "dflt");
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Veltrane"));

    EXPECT_TRUE(profile.WriteProfileString("Paths", "Source", "C:\\Data\\am_pub.mdb"));
    EXPECT_TRUE(profile.WriteProfileString("Paths", "Destination", ""));
    Profile again("Veltrane", "Tallowmere");
    EXPECT_EQ(again.GetProfileString("Paths", "Source", "dflt"), "C:\\Data\\am_pub.mdb");
    EXPECT_EQ(again.GetProfileString("Paths", "Destination", "dflt"), "");  // stored empty
    EXPECT_EQ(Profile("Veltrane", "Copy").GetProfileString("Paths", "Source", "dflt"), "dflt");
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "Veltrane" / "Tallowmere.conf"));
}

// Paths with commas, written by hand or by the program: each is one path, and writing one value
// leaves the others exactly as they were.
TEST_F(PlatformTest, ProfilePathsWithCommasStayOnePathAsWritten) {
    const std::string tight = "/data/a,b/am_pub.mdb";
    const std::string spaced = "/data/Old, new ,x/Scrivane.mdb";
    const auto folder = m_dir.Path() / "Veltrane";
    std::filesystem::create_directories(folder);
    WriteFileBytes((folder / "Tallowmere.conf").string(),
                   "[Paths]\nSource=" + tight + "\nDestination=" + spaced + "\n");
    Profile profile("Veltrane", "Tallowmere");
    EXPECT_EQ(profile.GetProfileString("Paths", "Source", "dflt"), tight);
    EXPECT_EQ(profile.GetProfileString("Paths", "Destination", "dflt"), spaced);

    const std::string chosen = "/data/x,y, z/am_pub.mdb";
    EXPECT_TRUE(profile.WriteProfileString("Paths", "Source", chosen));
    Profile again("Veltrane", "Tallowmere");
    EXPECT_EQ(again.GetProfileString("Paths", "Source", "dflt"), chosen);
    EXPECT_EQ(again.GetProfileString("Paths", "Destination", "dflt"), spaced);
}

}  // namespace
