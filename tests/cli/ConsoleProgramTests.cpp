// The console program in-process: its exit status and what it writes where.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ConsoleHost.h"
#include "cli/ConsoleProgram.h"
#include "convert/MessageLines.h"
#include "db/EngineStart.h"
#include "tests/cli/ConsoleFixture.h"
#include "tests/support/StoreKinds.h"

namespace {

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

// The message names the program first, as GNU tools' messages do; a run that ended before its
// first pass changed nothing, so no summary of zeros follows.
TEST_F(ConsoleProgram, MissingSourceExitsOneWithTheEngineErrorAsLines) {
    const std::string missing = m_dir.File("missing.db");
    const Outcome o = Run({"--workgroup", m_workgroup, missing, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("tallowmere-convert: Could not find file '" + missing + "'", 0), 0u)
        << o.err;
    EXPECT_TRUE(o.err.ends_with("  \n\nDAO Code:  3024\n")) << o.err;
    EXPECT_EQ(o.err.find('\r'), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("not known"), std::string::npos) << o.err;
}

TEST_F(ConsoleProgram, EngineStartFailureExitsOneWithBothMessagesInOrder) {
    const Outcome o = Run({"--workgroup", m_dir.File("nowhere.mdw"), m_source, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    const auto engine = o.err.find("DAO Code:  3028\n");
    const auto start = o.err.find("tallowmere-convert: Failed initializing database engine.\n");
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
    const std::string message =
        "tallowmere-convert: Error opening VeltraneSystemPath registry key.\n";
#ifdef _WIN32
    // Where the registry keeps the setting, and how to set it, follow.
    EXPECT_EQ(o.err.rfind(message, 0), 0u) << o.err;
    EXPECT_NE(o.err.find("  reg add \"HKEY_CURRENT_USER\\Software\\VB and VBA Program "
                         "Settings\\zrb.ini\\OptionsDataFile\" /v VeltraneSystemPath /d "),
              std::string::npos)
        << o.err;
#else
    EXPECT_EQ(o.err, message);  // elsewhere the program's host gives the help
#endif
}

// Where the lookup finds no setting, or one naming a folder without the workgroup file, the
// message stays as it is and the help of the settings follows it, with the console's own way.
TEST_F(ConsoleProgram, AFailedLookupIsFollowedByWhereToSetIt) {
    const auto help = [](const std::string& missing) {
        return missing.empty() ? std::string("no setting") : "no file " + missing;
    };
    const std::string tail =
        "\nOr give the file at each run: tallowmere-convert --workgroup FILE SOURCE DESTINATION\n";
    std::ostringstream out;
    std::ostringstream err;
    m_registry.keyExists = false;
    EXPECT_EQ(RunConsoleProgram({m_source, m_destination}, m_registry, out, err, false, help), 1);
    EXPECT_EQ(
        err.str(),
        "tallowmere-convert: Error opening VeltraneSystemPath registry key.\nno setting" + tail);

    err.str("");
    m_registry.keyExists = true;
    m_registry.value = m_dir.File("empty-folder");
    EXPECT_EQ(RunConsoleProgram({m_source, m_destination}, m_registry, out, err, false, help), 1);
    const std::string file = JoinWorkgroupFile(*m_registry.value);
    EXPECT_TRUE(err.str().ends_with(
        "tallowmere-convert: Failed initializing database engine.\nno file " + file + tail))
        << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Phrases(), 0);
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

struct WrongArgumentsCase {
    std::vector<std::string> arguments;  // SRC and DST stand for the two databases
    const char* problem;
};

void PrintTo(const WrongArgumentsCase& c, std::ostream* out) { *out << c.problem; }

class WrongArguments : public ConsoleProgram,
                       public testing::WithParamInterface<WrongArgumentsCase> {};

// One line naming the problem and one saying where to read more, as GNU tools answer.
TEST_P(WrongArguments, ExitTwoNamingTheProblemAndRunNothing) {
    std::vector<std::string> arguments;
    for (const std::string& a : GetParam().arguments) {
        arguments.push_back(a == "SRC" ? m_source : a == "DST" ? m_destination : a);
    }
    std::string problem = GetParam().problem;
    if (const auto at = problem.find("SRC"); at != std::string::npos) {
        problem.replace(at, 3, m_source);
    }
    const Outcome o = Run(arguments);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "tallowmere-convert: " + problem +
                         "\nTry 'tallowmere-convert --help' for more information.\n");
    EXPECT_TRUE(m_registry.openedKeys.empty());
    EXPECT_EQ(Phrases(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WrongArguments,
    testing::Values(WrongArgumentsCase{{}, "missing SOURCE and DESTINATION databases"},
                    WrongArgumentsCase{{"SRC"}, "missing DESTINATION database after 'SRC'"},
                    WrongArgumentsCase{{"SRC", "DST", "third"}, "extra operand 'third'"},
                    WrongArgumentsCase{{"--bogus", "SRC", "DST"}, "unrecognized option '--bogus'"},
                    WrongArgumentsCase{{"SRC", "DST", "-x"}, "unrecognized option '-x'"},
                    WrongArgumentsCase{{"SRC", "DST", "--workgroup"},
                                       "option '--workgroup' requires an argument"},
                    WrongArgumentsCase{{"--", "SRC"}, "missing DESTINATION database after 'SRC'"}));

TEST(ConsoleVersion, NamesTheProgramAndTheVersionTheAboutBoxShows) {
    std::ostringstream out;
    std::ostringstream err;
    FakeRegistry registry;
    EXPECT_EQ(RunConsoleProgram({"--version"}, registry, out, err), 0);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "tallowmere-convert (Tallowmere) 1.0");
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), VersionText());
    EXPECT_EQ(err.str(), "");
}

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

}  // namespace
