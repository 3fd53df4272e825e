// The same conversion through both stores gives the same destination, row for row and byte for
// byte: the demo glossary, and texts that are long or not plain ASCII.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/StoreKinds.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

struct Glossary {
    const char* name;
    std::function<void(TestDb& source, TestDb& destination)> fill;
};

void PrintTo(const Glossary& g, std::ostream* out) { *out << g.name; }

// Every row and column of both destination tables, in key order, bytes as stored.
std::vector<std::string> Everything(const std::string& path) {
    TestDb db(path);
    std::vector<std::string> rows =
        db.Rows("SELECT *, typeof(ZOrder) FROM tblCategory ORDER BY CategoryID");
    for (std::string& row : db.Rows("SELECT *, hex(Data) FROM tblPhrase ORDER BY PhraseID")) {
        rows.push_back(std::move(row));
    }
    return rows;
}

class StoreEquivalence : public testing::TestWithParam<Glossary> {};

TEST_P(StoreEquivalence, OdbcGivesTheRowsTheDirectStoreGives) {
    if (!kSqliteOdbcDriverInstalled) GTEST_SKIP() << kNoSqliteOdbcDriver;
    UseTestEngineSettings();
    TempDir dir;
    std::vector<std::vector<std::string>> results;
    for (StoreKind kind : kStoreKinds) {
        const std::string source = dir.File(std::string(StoreKindName(kind)) + "-source.db");
        const std::string destination = dir.File(std::string(StoreKindName(kind)) + "-dest.db");
        CreateSourceDb(source);
        CreateDestinationDb(destination);
        {
            TestDb src(source);
            TestDb dst(destination);
            GetParam().fill(src, dst);
        }
        const std::string sourceBefore = ReadFileBytes(source);
        RecordingHost host;
        RunConversion(DatabaseName(kind, source), DatabaseName(kind, destination), host);
        EXPECT_TRUE(host.messages.empty()) << StoreKindName(kind) << ": " << host.Texts().front();
        EXPECT_EQ(ReadFileBytes(source), sourceBefore) << StoreKindName(kind);
        results.push_back(Everything(destination));
    }
    ASSERT_FALSE(results[0].empty());
    EXPECT_EQ(results[1], results[0]);
}

std::string LongRtf() {
    std::string text = "{\\rtf1\\ansi ";
    for (int i = 0; text.size() < 40000; ++i) text += "Line " + std::to_string(i) + "\\par ";
    return text + "}";
}

INSTANTIATE_TEST_SUITE_P(
    Glossaries, StoreEquivalence,
    testing::Values(Glossary{"Demo",
                             [](TestDb& source, TestDb& destination) {
                                 source.ExecFile(ResFile("demo-source.sql"));
                                 destination.ExecFile(ResFile("demo-destination.sql"));
                             }},
                    Glossary{"LongAndNonAsciiTexts",
                             [](TestDb& source, TestDb&) {
                                 const std::string rtf = LongRtf();
                                 AddSourceCategory(source, "Grüße{1}", "Begrüßung – «formal»");
                                 AddSourceItem(source, "Ä1", "kurz", rtf.c_str(), {"Grüße{1}"});
                                 AddSourceItem(source, "I2", "日本語",
                                               "{\\rtf1 caf\\'e9 \\u8364? ok\\par}", {"Grüße{1}"});
                             }}),
    [](const testing::TestParamInfo<Glossary>& info) { return std::string(info.param.name); });

}  // namespace
