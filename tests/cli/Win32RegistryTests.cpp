// Windows: the console program's workgroup lookup through the real registry API, in a scratch
// HKEY_CURRENT_USER.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "cli/ConsoleProgram.h"
#include "cli/Win32CurrentUserRegistry.h"
#include "db/EngineStart.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/ScratchCurrentUser.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

struct RegistryCase {
    const char* name;
    bool keyExists;
    std::optional<std::string> value;
    int result;
    std::string path;
    std::string message;  // the one message shown, or empty
};

void PrintTo(const RegistryCase& c, std::ostream* out) { *out << c.name; }

class Win32Registry : public testing::TestWithParam<RegistryCase> {};

TEST_P(Win32Registry, FormsThePathOrReports) {
    const RegistryCase& c = GetParam();
    ScratchCurrentUser hive;
    if (c.value) {
        hive.SetString(kWorkgroupLookupKey, kWorkgroupLookupValue, *c.value);
    } else if (c.keyExists) {
        hive.MakeKey(kWorkgroupLookupKey);
    }
    Win32CurrentUserRegistry registry;
    RecordingMessages messages;
    std::string path;
    EXPECT_EQ(GetSystemDatabasePath(path, registry, messages), c.result);
    EXPECT_EQ(path, c.path);
    if (c.message.empty()) {
        EXPECT_TRUE(messages.messages.empty());
    } else {
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, c.message);
    }
}

const std::string k255(255, 'd');
const std::string k256(256, 'd');

INSTANTIATE_TEST_SUITE_P(
    Registry, Win32Registry,
    testing::Values(RegistryCase{"MissingKey", false, std::nullopt, 0, "",
                                 "Error opening VeltraneSystemPath registry key."},
                    RegistryCase{"MissingValue", true, std::nullopt, 1, "", ""},
                    RegistryCase{"Folder", true, "C:\\Program Files\\Veltrane", 1,
                                 "C:\\Program Files\\Veltrane\\VELTRANE.MDW", ""},
                    RegistryCase{"LongestValueThatFits", true, k255, 1, k255 + "\\VELTRANE.MDW",
                                 ""},
                    RegistryCase{"OverLongValue", true, k256, 1, "", ""}),
    [](const testing::TestParamInfo<RegistryCase>& info) { return std::string(info.param.name); });

// The value is read as the bytes it holds, whatever its registry type: the text is what they
// spell up to the first zero, and a value that leaves no room for one is not read.
using Hive = ScratchCurrentUser;

struct TypedCase {
    const char* name;
    ScratchCurrentUser::ValueType type;
    std::string bytes;
    std::string path;
};

void PrintTo(const TypedCase& c, std::ostream* out) { *out << c.name; }

class Win32RegistryTypes : public testing::TestWithParam<TypedCase> {};

TEST_P(Win32RegistryTypes, ReadsTheBytesWhateverTheType) {
    const TypedCase& c = GetParam();
    ScratchCurrentUser hive;
    hive.SetValue(kWorkgroupLookupKey, kWorkgroupLookupValue, c.type, c.bytes);
    Win32CurrentUserRegistry registry;
    RecordingMessages messages;
    std::string path;
    EXPECT_EQ(GetSystemDatabasePath(path, registry, messages), 1);
    EXPECT_EQ(path, c.path);
    EXPECT_TRUE(messages.messages.empty());
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Registry, Win32RegistryTypes,
    testing::Values(
        TypedCase{"ExpandableNotExpanded", Hive::ExpandString, "%SystemDrive%\\Veltrane\0"s,
                  "%SystemDrive%\\Veltrane\\VELTRANE.MDW"},
        TypedCase{"BinaryWithoutTerminator", Hive::Binary, "D:\\Data", "D:\\Data\\VELTRANE.MDW"},
        TypedCase{"Number", Hive::Number, "CZ\0\0"s, "CZ\\VELTRANE.MDW"},
        TypedCase{"FirstOfAList", Hive::StringList, "C:\\One\0C:\\Two\0\0"s,
                  "C:\\One\\VELTRANE.MDW"},
        TypedCase{"EmptyBinary", Hive::Binary, "", "\\VELTRANE.MDW"},
        TypedCase{"LongestBinaryThatFits", Hive::Binary, k255, k255 + "\\VELTRANE.MDW"},
        TypedCase{"FullBufferEndingInZero", Hive::Binary, k255 + '\0', k255 + "\\VELTRANE.MDW"},
        TypedCase{"FullBufferWithoutZero", Hive::Binary, k256, ""},
        TypedCase{"OverLongBinary", Hive::Binary, k256 + '\0', ""}),
    [](const testing::TestParamInfo<TypedCase>& info) { return std::string(info.param.name); });

// The whole console program on the real registry: the lookup finds the workgroup file.
TEST(Win32RegistryProgram, FindsTheWorkgroupThroughTheRegistry) {
    UseTestEngineSettings();
    TempDir dir;
    const std::string source = dir.File("am_pub.db");
    const std::string destination = dir.File("phrases.db");
    CreateSourceDb(source);
    CreateDestinationDb(destination);
    WriteFileBytes(dir.File("VELTRANE.MDW"), "workgroup");
    ScratchCurrentUser hive;
    hive.SetString(kWorkgroupLookupKey, kWorkgroupLookupValue, dir.Path().string());
    Win32CurrentUserRegistry registry;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunConsoleProgram({source, destination}, registry, out, err), kExitCompleted)
        << err.str();
    // The run's summary follows the completion message.
    EXPECT_EQ(out.str().rfind("Conversion complete!\n", 0), 0u) << out.str();
}

}  // namespace
