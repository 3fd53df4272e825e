// Whole runs with a Jet file as the source, and as the destination, through the engine and
// through the console program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "db/DaoException.h"
#include "tests/jet/JetFixtures.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

constexpr const char* kCategories =
    "SELECT CategoryID, Description, ZOrder, strCategoryID FROM tblCategory ORDER BY CategoryID";
constexpr const char* kPhrases =
    "SELECT PhraseID, CategoryID, Mnemonic, Data, ZOrder, PunctuationLeading, "
    "PunctuationTrailing FROM tblPhrase ORDER BY PhraseID";

// A writable copy of a Jet file, so that a write would show: its bytes and modification time.
struct WritableCopy {
    WritableCopy(const TempDir& dir, const std::string& fixture, const std::string& name)
        : path(dir.File(name)) {
        WriteFileBytes(path, ReadFileBytes(fixture));
        chmod(path.c_str(), 0644);
        bytes = ReadFileBytes(path);
        stat(path.c_str(), &before);
    }
    void ExpectUnchanged() const {
        struct stat after {};
        ASSERT_EQ(stat(path.c_str(), &after), 0);
        EXPECT_EQ(ReadFileBytes(path), bytes) << path;
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec) << path;
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec) << path;
    }

    std::string path;
    std::string bytes;
    struct stat before {};
};

struct Failure {
    int code = 0;
    std::string description;
};

Failure FailureOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const CDaoException& e) {
        return {e.m_pErrorInfo->m_lErrorCode, e.m_pErrorInfo->m_strDescription};
    }
    return {};
}

std::string SqliteDemoSource(const TempDir& dir) {
    const std::string path = dir.File("demo-source.db");
    CreateSourceDb(path);
    TestDb(path).ExecFile(ResFile("demo-source.sql"));
    return path;
}

class JetSource : public testing::Test {
protected:
    void SetUp() override { UseTestEngineSettings(); }
    TempDir m_dir;
};

}  // namespace

TEST_F(JetSource, DemoConvertsExactlyAsTheSqliteDemoSourceAndStaysUnchanged) {
    JET_FIXTURE_OR_SKIP(fixture, "src_demo_V2000.mdb");
    const WritableCopy jet(m_dir, fixture, "am_pub.mdb");
    const std::string fromJet = m_dir.File("from-jet.db");
    const std::string fromSqlite = m_dir.File("from-sqlite.db");
    CreateDestinationDb(fromJet);
    CreateDestinationDb(fromSqlite);

    RecordingHost jetHost, sqliteHost;
    RunConversion(jet.path, fromJet, jetHost);
    RunConversion(SqliteDemoSource(m_dir), fromSqlite, sqliteHost);

    EXPECT_EQ(jetHost.Texts(), sqliteHost.Texts());
    const std::vector<std::string> categories = TestDb(fromSqlite).Rows(kCategories);
    const std::vector<std::string> phrases = TestDb(fromSqlite).Rows(kPhrases);
    EXPECT_GT(categories.size(), 20u);
    EXPECT_GT(phrases.size(), 30u);
    EXPECT_EQ(TestDb(fromJet).Rows(kCategories), categories);
    EXPECT_EQ(TestDb(fromJet).Rows(kPhrases), phrases);
    jet.ExpectUnchanged();
}

TEST_F(JetSource, AJetDestinationIsRefusedBeforeAnythingIsWritten) {
    const std::string source = SqliteDemoSource(m_dir);
    for (const char* name : {"dst_demo_V2000.mdb", "dst_empty_V2000.mdb"}) {
        JET_FIXTURE_OR_SKIP(fixture, name);
        const WritableCopy destination(m_dir, fixture, name);
        RecordingHost host;
        const Failure failure = FailureOf([&] { RunConversion(source, destination.path, host); });
        EXPECT_EQ(failure.code, DaoError::ReadOnly) << name;
        EXPECT_NE(failure.description.find(destination.path), std::string::npos)
            << failure.description;
        EXPECT_NE(failure.description.find(
                      "is a Jet database, which this build reads but does not write"),
                  std::string::npos)
            << failure.description;
        EXPECT_NE(failure.description.find("res/destination-schema.sql"), std::string::npos)
            << failure.description;
        destination.ExpectUnchanged();
    }
}

TEST_F(JetSource, AJetFileWithoutTheSourceTablesNamesTheMissingTable) {
    JET_FIXTURE_OR_SKIP(fixture, "dst_empty_V2000.mdb");
    const std::string destination = m_dir.File("phrases.db");
    CreateDestinationDb(destination);
    RecordingHost host;
    const Failure failure = FailureOf([&] { RunConversion(fixture, destination, host); });
    EXPECT_EQ(failure.code, DaoError::TableNotFound);
    EXPECT_NE(failure.description.find("tblPhraseCategory"), std::string::npos)
        << failure.description;
    EXPECT_NE(failure.description.find(fixture), std::string::npos) << failure.description;
    EXPECT_EQ(TestDb(destination).Count("tblCategory"), 0);
}

TEST_F(JetSource, TheConsoleProgramConvertsTheJetDemo) {
#ifndef TALLOWMERE_HAS_CONSOLE_PROGRAM
    GTEST_SKIP() << "This build has no console program (a core-only build).";
#endif
    JET_FIXTURE_OR_SKIP(fixture, "src_demo_V2000.mdb");
    const WritableCopy jet(m_dir, fixture, "am_pub.mdb");
    const std::string destination = m_dir.File("phrases.db");
    const std::string expected = m_dir.File("expected.db");
    CreateDestinationDb(destination);
    CreateDestinationDb(expected);
    const std::string workgroup = m_dir.File("workgroup.mdw");
    WriteFileBytes(workgroup, "workgroup");
    const std::string command = "env XDG_CONFIG_HOME='" + m_dir.File("config") + "' '" +
                                TALLOWMERE_BUILD_DIR "/tallowmere-convert' --workgroup '" +
                                workgroup + "' '" + jet.path + "' '" + destination + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char chunk[4096];
    for (std::size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        output.append(chunk, got);
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    // The completion message, then the run's summary: no word from the Jet reader in between.
    EXPECT_EQ(output.substr(0, output.find('\n')), "Conversion complete!") << output;
    EXPECT_NE(output.find("\nCategories added: 30\nCategories overwritten: 1\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("mdb"), std::string::npos) << output;

    RecordingHost host;
    RunConversion(SqliteDemoSource(m_dir), expected, host);
    EXPECT_EQ(TestDb(destination).Rows(kPhrases), TestDb(expected).Rows(kPhrases));
    EXPECT_EQ(TestDb(destination).Rows(kCategories), TestDb(expected).Rows(kCategories));
    jet.ExpectUnchanged();
}
