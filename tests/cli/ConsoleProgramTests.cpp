// The console program: its exit status and what it writes where, in-process and as the real
// binary.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ConsoleHost.h"
#include "cli/ConsoleProgram.h"
#include "convert/MessageLines.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/StoreKinds.h"

namespace {

// The completion message; the summary of what changed follows it.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class ConsoleProgram : public testing::Test {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Greetings");
        AddSourceItem(db, "I1", "hi", "{\\rtf1 Hello\\par}", {"K{1}"});
        WriteFileBytes(m_workgroup, "workgroup");
    }
    void TearDown() override { UseTestEngineSettings(); }

    Outcome Run(const std::vector<std::string>& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunConsoleProgram(arguments, m_registry, out, err);
        return {status, out.str(), err.str()};
    }
    int64_t Phrases() { return TestDb(m_destination).Count("tblPhrase"); }

    TempDir m_dir;
    std::string m_source = m_dir.File("am_pub.db");
    std::string m_destination = m_dir.File("phrases.db");
    std::string m_workgroup = m_dir.File("VELTRANE.MDW");
    FakeRegistry m_registry;
};

TEST_F(ConsoleProgram, CompletedRunExitsZeroWithTheMessageOnStandardOutput) {
    m_registry.value = m_dir.Path().string();
    const Outcome o = Run({m_source, m_destination});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(TestDb(m_destination).Rows("SELECT PhraseID, CategoryID, Data FROM tblPhrase"),
              std::vector<std::string>{"I1|{1}|Hello9|"});
}

TEST_F(ConsoleProgram, WorkgroupOptionInEitherFormReplacesTheLookup) {
    m_registry.keyExists = false;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--workgroup", m_workgroup, m_source, m_destination},
          std::vector<std::string>{m_source, m_destination, "--workgroup=" + m_workgroup}}) {
        const Outcome o = Run(arguments);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    }
    EXPECT_TRUE(m_registry.openedKeys.empty());
}

TEST_F(ConsoleProgram, DoubleDashEndsTheOptions) {
    const std::string dashed = m_dir.File("-source.db");
    std::filesystem::copy_file(m_source, dashed);
    const Outcome o = Run({"--workgroup", m_workgroup, "--", dashed, m_destination});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Phrases(), 1);
}

TEST_F(ConsoleProgram, HelpAfterDoubleDashIsAFileName) {
    const Outcome o = Run({"--workgroup", m_workgroup, "--", "--help", m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("Could not find file '--help'"), std::string::npos) << o.err;
}

TEST_F(ConsoleProgram, MissingSourceExitsOneWithTheEngineErrorAsLines) {
    const std::string missing = m_dir.File("missing.db");
    const Outcome o = Run({"--workgroup", m_workgroup, missing, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(missing), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("  \n\nDAO Code:  3024\n"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find('\r'), std::string::npos) << o.err;
}

TEST_F(ConsoleProgram, EngineStartFailureExitsOneWithBothMessagesInOrder) {
    const Outcome o = Run({"--workgroup", m_dir.File("nowhere.mdw"), m_source, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    const auto engine = o.err.find("DAO Code:  3028\n");
    const auto start = o.err.find("Failed initializing database engine.\n");
    ASSERT_NE(engine, std::string::npos) << o.err;
    ASSERT_NE(start, std::string::npos) << o.err;
    EXPECT_LT(engine, start);
    EXPECT_EQ(Phrases(), 0);
}

TEST_F(ConsoleProgram, MissingLookupKeyExitsOne) {
    m_registry.keyExists = false;
    const Outcome o = Run({m_source, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "Error opening VeltraneSystemPath registry key.\n");
}

// A pass that reports an error still lets the run complete; the status says an error was seen.
TEST_F(ConsoleProgram, ErrorReportedByAPassExitsOneThoughTheRunCompleted) {
    {
        TestDb db(m_destination);  // the category pass cuts the second onto the first
        AddDestinationCategory(db, "A{1}", "Own");
        AddDestinationCategory(db, "A{1}tail", "Own twin");
    }
    const Outcome o = Run({"--workgroup", m_workgroup, m_source, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_NE(o.err.find("DAO Code:  3022"), std::string::npos) << o.err;
}

class WrongArguments : public ConsoleProgram,
                       public testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(WrongArguments, ExitTwoWithTheUsageAndRunNothing) {
    std::vector<std::string> arguments;
    for (const std::string& a : GetParam()) {
        arguments.push_back(a == "SRC" ? m_source : a == "DST" ? m_destination : a);
    }
    const Outcome o = Run(arguments);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("tallowmere-convert: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find("Usage: tallowmere-convert"), std::string::npos) << o.err;
    EXPECT_TRUE(m_registry.openedKeys.empty());
    EXPECT_EQ(Phrases(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, WrongArguments,
                         testing::Values(std::vector<std::string>{},
                                         std::vector<std::string>{"SRC"},
                                         std::vector<std::string>{"SRC", "DST", "DST"},
                                         std::vector<std::string>{"--bogus", "SRC", "DST"},
                                         std::vector<std::string>{"SRC", "DST", "-x"},
                                         std::vector<std::string>{"SRC", "DST", "--workgroup"},
                                         std::vector<std::string>{"--", "SRC"}));

// A name that begins with "ODBC;" is a connection string: either database can be any ODBC data
// source, the run reaching it through the driver it names.
TEST_F(ConsoleProgram, ConnectionStringsReachTheDatabasesThroughTheirDriver) {
    if (!kSqliteOdbcDriverInstalled) GTEST_SKIP() << kNoSqliteOdbcDriver;
    const Outcome o = Run({"--workgroup", m_workgroup, "ODBC;Driver=SQLite3;Database=" + m_source,
                           "odbc;Driver={SQLite3};Database=" + m_destination + ";NoCreat=1"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_EQ(TestDb(m_destination).Rows("SELECT PhraseID, CategoryID, Data FROM tblPhrase"),
              std::vector<std::string>{"I1|{1}|Hello9|"});
}

TEST_F(ConsoleProgram, ConnectionStringWithAMissingDriverSaysWhichOne) {
    const Outcome o =
        Run({"--workgroup", m_workgroup, "ODBC;Driver={No Such Driver};DBQ=x.mdb", m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("\"No Such Driver\" is installed"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("DAO Code:  3151"), std::string::npos) << o.err;
    EXPECT_EQ(Phrases(), 0);
}

TEST_F(ConsoleProgram, HelpExitsZeroWithTheUsageWhateverElseIsGiven) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{m_source, "--help"},
          std::vector<std::string>{"-h", "--bogus"}}) {
        const Outcome o = Run(arguments);
        EXPECT_EQ(o.status, 0);
        EXPECT_NE(o.out.find("Usage: tallowmere-convert SOURCE DESTINATION"), std::string::npos)
            << o.out;
        EXPECT_NE(o.out.find("--workgroup FILE"), std::string::npos) << o.out;
        EXPECT_NE(o.out.find("\"ODBC;\""), std::string::npos) << o.out;
        EXPECT_EQ(o.err, "");
    }
    EXPECT_EQ(Phrases(), 0);
}

struct LinesCase {
    const char* text;
    const char* lines;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LinesCase& c, std::ostream* out) { *out << c.lines; }

class ConsoleLineBreaks : public testing::TestWithParam<LinesCase> {};

TEST_P(ConsoleLineBreaks, CarriageReturnsBecomeLineBreaks) {
    EXPECT_EQ(MessageLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Texts, ConsoleLineBreaks,
                         testing::Values(LinesCase{"a  \r\rDAO Code:  1", "a  \n\nDAO Code:  1"},
                                         LinesCase{"a\r\nb", "a\nb"},
                                         LinesCase{"a\r\r\nb", "a\n\nb"}, LinesCase{"a\nb", "a\nb"},
                                         LinesCase{"\r", "\n"}, LinesCase{"a\n\rb", "a\n\nb"},
                                         LinesCase{"", ""}));

// The real program, started as a user would start it.
// The real program through a POSIX shell, with a settings folder of its own. On Windows,
// scripts/test-windows runs the real program under Wine instead.
#ifndef _WIN32
class ConsoleBinary : public ConsoleProgram {
protected:
    static std::string Quoted(const std::string& text) {
        std::string quoted = "'";
        for (char c : text) {
            if (c == '\'') {
                quoted += "'\\''";
            } else {
                quoted += c;
            }
        }
        return quoted + "'";
    }

    Outcome Start(const std::vector<std::string>& arguments) {
        const std::string config = m_dir.File("config");
        std::filesystem::create_directories(config);
        const std::string errFile = m_dir.File("stderr.txt");
        std::string command = "env XDG_CONFIG_HOME=" + Quoted(config) +
                              " HOME=" + Quoted(m_dir.Path().string()) + " " +
                              Quoted(TALLOWMERE_BUILD_DIR "/tallowmere-convert");
        for (const std::string& a : arguments) command += " " + Quoted(a);
        command += " 2>" + Quoted(errFile);
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return {-1, "", "popen failed"};
        std::string out;
        char chunk[4096];
        std::size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, got);
        const int wait = pclose(pipe);
        const int status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
        return {status, out, ReadFileBytes(errFile)};
    }
};

TEST_F(ConsoleBinary, CompletesWithAGivenWorkgroup) {
    const Outcome o = Start({"--workgroup", m_workgroup, m_source, m_destination});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(Phrases(), 1);
}

TEST_F(ConsoleBinary, FindsTheWorkgroupThroughTheSettings) {
    const std::string folder = m_dir.File("config") + "/VB and VBA Program Settings";
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder + "/zrb.ini.conf",
                   "[OptionsDataFile]\nVeltraneSystemPath=" + m_dir.Path().string() + "\n");
    const Outcome o = Start({m_source, m_destination});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_EQ(Phrases(), 1);
}

TEST_F(ConsoleBinary, ReportsAMissingSourceOnStandardError) {
    const std::string missing = m_dir.File("missing.db");
    const Outcome o = Start({"--workgroup", m_workgroup, missing, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(missing), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("\n\nDAO Code:  3024\n"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find('\r'), std::string::npos) << o.err;
}

TEST_F(ConsoleBinary, WithoutSettingsReportsTheMissingKey) {
    const Outcome o = Start({m_source, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Error opening VeltraneSystemPath registry key.\n");
    EXPECT_EQ(Phrases(), 0);
}

// The demo databases converted three times over: every run completes, and the later runs leave
// the rows of the first.
TEST_F(ConsoleBinary, ThreeRunsOverTheDemoDatabasesLeaveTheRowsOfOne) {
    const std::string source = m_dir.File("am_pub.mdb");
    const std::string destination = m_dir.File("Scrivane.mdb");
    {
        TestDb db(source);
        db.ExecFile(ResFile("source-schema.sql"));
        db.ExecFile(ResFile("demo-source.sql"));
    }
    {
        TestDb db(destination);
        db.ExecFile(ResFile("destination-schema.sql"));
        db.ExecFile(ResFile("demo-destination.sql"));
    }
    const auto rows = [&destination] {
        TestDb db(destination);
        std::vector<std::string> all = db.Rows("SELECT * FROM tblCategory ORDER BY CategoryID");
        for (const std::string& row : db.Rows("SELECT * FROM tblPhrase ORDER BY PhraseID")) {
            all.push_back(row);
        }
        return all;
    };
    std::vector<std::string> first;
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const Outcome o = Start({"--workgroup", m_workgroup, source, destination});
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
        EXPECT_EQ(o.err, "");
        if (run == 1) {
            first = rows();
            EXPECT_GT(first.size(), 30u);
        } else {
            EXPECT_EQ(rows(), first);
        }
    }
}

TEST_F(ConsoleBinary, WrongArgumentsExitTwo) {
    const Outcome o = Start({m_source});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("Usage: tallowmere-convert"), std::string::npos) << o.err;
}

#endif

}  // namespace
