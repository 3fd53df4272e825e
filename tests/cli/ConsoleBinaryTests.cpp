// The real console program through a POSIX shell, started as a user would start it, with a
// settings folder of its own. On Windows, scripts/test-windows runs the real program under Wine.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/ConsoleFixture.h"

namespace {

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

    // Runs the program with HOME and XDG_CONFIG_HOME as given; no system-wide settings folders.
    Outcome Start(const std::vector<std::string>& arguments) {
        std::filesystem::create_directories(m_config);
        const std::string errFile = m_dir.File("stderr.txt");
        std::string command = "env -u XDG_CONFIG_DIRS XDG_CONFIG_HOME=" + Quoted(m_configHome) +
                              " HOME=" + Quoted(m_home) + " " + Quoted(m_program);
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

    // The demo databases, as scripts/make-demo-databases makes them.
    void MakeDemo(const std::string& source, const std::string& destination) {
        TestDb sourceDb(source);
        sourceDb.ExecFile(ResFile("source-schema.sql"));
        sourceDb.ExecFile(ResFile("demo-source.sql"));
        TestDb destinationDb(destination);
        destinationDb.ExecFile(ResFile("destination-schema.sql"));
        destinationDb.ExecFile(ResFile("demo-destination.sql"));
    }

    // The user's workgroup lookup setting, naming folder.
    void WriteLookup(const std::string& folder) {
        std::filesystem::create_directories(m_config + "/VB and VBA Program Settings");
        WriteFileBytes(LookupFile(), "[OptionsDataFile]\nVeltraneSystemPath=" + folder + "\n");
    }
    std::string LookupFile() const {
        return m_config + "/VB and VBA Program Settings/zrb.ini.conf";
    }

    std::string m_home = m_dir.Path().string();
    std::string m_config = m_dir.File("config");
    std::string m_configHome = m_config;
    std::string m_program = TALLOWMERE_BUILD_DIR "/tallowmere-convert";
};

TEST_F(ConsoleBinary, CompletesWithAGivenWorkgroup) {
    const Outcome o = Start({"--workgroup", m_workgroup, m_source, m_destination});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(Phrases(), 1);
}

TEST_F(ConsoleBinary, FindsTheWorkgroupThroughTheSettings) {
    WriteLookup(m_dir.Path().string());
    const Outcome o = Start({m_source, m_destination});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_EQ(Phrases(), 1);
}

// A newcomer's first run: a home of their own with no settings at all (XDG_CONFIG_HOME empty, so
// ~/.config), the program straight from the build folder, which holds its default workgroup.
TEST_F(ConsoleBinary, FirstRunFromAFreshHomeConvertsTheDemo) {
    m_home = m_dir.File("fresh-home");
    m_configHome = "";
    std::filesystem::create_directories(m_home);
    const std::string source = m_dir.File("am_pub.mdb");
    const std::string destination = m_dir.File("Scrivane.mdb");
    MakeDemo(source, destination);
    const Outcome o = Start({source, destination});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(FirstLine(o.out), "Conversion complete!") << o.out;
    EXPECT_EQ(o.err, "");
    EXPECT_GT(TestDb(destination).Count("tblPhrase"), 0);
}

// The user's own setting wins over the program's default, even where it names a folder without
// the workgroup file: the run stops, saying which file is missing and where it was set.
TEST_F(ConsoleBinary, TheUsersOwnSettingWinsAndAMissingFileIsExplained) {
    const std::string folder = m_dir.File("no-workgroup-here");
    std::filesystem::create_directories(folder);
    WriteLookup(folder);
    const Outcome o = Start({m_source, m_destination});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    const std::string failed = "tallowmere-convert: Failed initializing database engine.\n";
    const auto at = o.err.find(failed);
    ASSERT_NE(at, std::string::npos) << o.err;
    EXPECT_NE(o.err.find("DAO Code:  3028\n"), std::string::npos) << o.err;
    const std::string help = o.err.substr(at + failed.size());
    EXPECT_EQ(
        help.rfind("The workgroup information file " + folder + "/VELTRANE.MDW is missing.", 0), 0u)
        << help;
    EXPECT_NE(help.find("[OptionsDataFile] of the file\n  " + LookupFile() + "\n"),
              std::string::npos)
        << help;
    EXPECT_TRUE(help.ends_with("tallowmere-convert --workgroup FILE SOURCE DESTINATION\n")) << help;
    EXPECT_EQ(Phrases(), 0);
}

// A program moved away from its defaults (a copy in another folder) finds no setting: the
// message and caption stay as they are, and the help says where to set it and how.
TEST_F(ConsoleBinary, WithoutAnySettingTheMessageSaysWhereToSetIt) {
    std::filesystem::create_directories(m_dir.File("bin"));
    m_program = m_dir.File("bin/tallowmere-convert");
    std::filesystem::copy_file(TALLOWMERE_BUILD_DIR "/tallowmere-convert", m_program);
    const Outcome o = Start({m_source, m_destination});
    EXPECT_EQ(o.status, 1);
    const std::string message =
        "tallowmere-convert: Error opening VeltraneSystemPath registry key.\n";
    ASSERT_EQ(o.err.rfind(message, 0), 0u) << o.err;
    const std::string help = o.err.substr(message.size());
    for (const std::string& says :
         {"The folder of the workgroup information file, VELTRANE.MDW, is read from the key "
          "VeltraneSystemPath in the group [OptionsDataFile] of the file\n  " +
              LookupFile(),
          std::string("was not found in\n  ") + m_dir.File("share/tallowmere"),
          "To set it, put these two lines in\n  " + LookupFile(),
          std::string("  [OptionsDataFile]\n  VeltraneSystemPath=/path/to/folder\n")}) {
        EXPECT_NE(help.find(says), std::string::npos) << says << "\nin\n" << help;
    }
    EXPECT_EQ(Phrases(), 0);
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

// The demo databases converted three times over: every run completes, and the later runs leave
// the rows of the first.
TEST_F(ConsoleBinary, ThreeRunsOverTheDemoDatabasesLeaveTheRowsOfOne) {
    const std::string source = m_dir.File("am_pub.mdb");
    const std::string destination = m_dir.File("Scrivane.mdb");
    MakeDemo(source, destination);
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

TEST_F(ConsoleBinary, WrongArgumentsExitTwoWithOneLineAndAPointerToTheHelp) {
    const Outcome o = Start({m_source});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "tallowmere-convert: missing DESTINATION database after '" + m_source +
                         "'\nTry 'tallowmere-convert --help' for more information.\n");
}

}  // namespace
