// The real console program on a terminal (a pseudo-terminal here): the progress line, and
// Ctrl+C as Cancel with the rows written so far kept.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Finished {
    int status = -1;
    std::string terminal;  // everything the program wrote, standard output and error alike
};

class ConsoleTerminal : public testing::Test {
protected:
    void SetUp() override {
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
        WriteFileBytes(m_workgroup, "workgroup");
        std::filesystem::create_directories(m_dir.File("config"));
    }

    // Starts the program on a new pseudo-terminal; interruptOn, once it shows on the terminal,
    // is answered with Ctrl+C typed at the keyboard.
    // columns: the terminal's width, 0 for one that does not say.
    Finished RunOnTerminal(const std::string& interruptOn = {}, unsigned short columns = 0) {
        int master = -1;
        winsize size{};
        size.ws_row = 24;
        size.ws_col = columns;
        const pid_t child = forkpty(&master, nullptr, nullptr, columns > 0 ? &size : nullptr);
        if (child < 0) return {};
        if (child == 0) {
            const std::string config = "XDG_CONFIG_HOME=" + m_dir.File("config");
            putenv(const_cast<char*>(config.c_str()));
            const std::string program = TALLOWMERE_BUILD_DIR "/tallowmere-convert";
            execl(program.c_str(), program.c_str(), "--workgroup", m_workgroup.c_str(),
                  m_source.c_str(), m_destination.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        Finished finished;
        bool interrupted = interruptOn.empty();
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (Clock::now() < deadline) {
            pollfd poller{master, POLLIN, 0};
            if (poll(&poller, 1, 1000) <= 0) continue;
            char chunk[4096];
            const ssize_t got = read(master, chunk, sizeof chunk);
            if (got <= 0) break;  // the program has gone and closed the terminal
            finished.terminal.append(chunk, static_cast<std::size_t>(got));
            if (!interrupted && finished.terminal.find(interruptOn) != std::string::npos) {
                const char ctrlC = 0x03;
                interrupted = write(master, &ctrlC, 1) == 1;
            }
        }
        int wait = 0;
        waitpid(child, &wait, 0);
        close(master);
        finished.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
        return finished;
    }

    int64_t Phrases() { return TestDb(m_destination).Count("tblPhrase"); }

    TempDir m_dir;
    std::string m_source = m_dir.File("am_pub.db");
    std::string m_destination = m_dir.File("phrases.db");
    std::string m_workgroup = m_dir.File("VELTRANE.MDW");
};

TEST_F(ConsoleTerminal, ShowsOneUpdatingProgressLineThenTheSummary) {
    AddNumberedGlossary(m_source, 200);
    const Finished f = RunOnTerminal();
    EXPECT_EQ(f.status, 0) << f.terminal;
    for (const char* pass :
         {"\rCopying categories: 0 of 1 rows", "\rCopying phrases: 0 of 200 rows",
          "\rShortening category identifiers: ", "\rShortening phrase categories: ",
          "\rConverting phrase text: 200 of 200 rows"}) {
        EXPECT_NE(f.terminal.find(pass), std::string::npos) << pass << " in\n" << f.terminal;
    }
    // The line is cleared before the completion message and the summary that follows it.
    const auto done = f.terminal.find("Conversion complete!");
    ASSERT_NE(done, std::string::npos) << f.terminal;
    EXPECT_NE(f.terminal.find("Phrases added: 200", done), std::string::npos) << f.terminal;
    EXPECT_EQ(f.terminal.find("rows", done), std::string::npos) << f.terminal;
}

// On a terminal narrower than the line, each redraw stays on its one line: nothing reaches the
// last column, where the terminal would wrap and leave a line behind at every update.
TEST_F(ConsoleTerminal, ANarrowTerminalGetsTheLineCutToItsWidth) {
    constexpr unsigned short kColumns = 24;
    AddNumberedGlossary(m_source, 200);
    const Finished f = RunOnTerminal({}, kColumns);
    EXPECT_EQ(f.status, 0) << f.terminal;
    const auto done = f.terminal.find("Conversion complete!");
    ASSERT_NE(done, std::string::npos) << f.terminal;
    const std::string progress = f.terminal.substr(0, done);
    EXPECT_EQ(progress.find('\n'), std::string::npos) << progress;  // no line left behind
    std::size_t updates = 0;
    for (std::size_t at = 0; (at = progress.find('\r', at)) != std::string::npos; ++at) {
        const std::size_t next = progress.find('\r', at + 1);
        const std::string line =
            progress.substr(at + 1, next == std::string::npos ? next : next - at - 1);
        EXPECT_LT(line.size(), kColumns) << line;
        ++updates;
    }
    EXPECT_GE(updates, 5u);  // at least one per pass
    EXPECT_NE(progress.find("\rCopying phrases: 0 of 2"), std::string::npos) << progress;
}

TEST_F(ConsoleTerminal, NoProgressWhenStandardErrorIsNotATerminal) {
    AddNumberedGlossary(m_source, 200);
    const std::string err = m_dir.File("stderr.txt");
    const std::string command = "XDG_CONFIG_HOME='" + m_dir.File("config") + "' '" +
                                TALLOWMERE_BUILD_DIR "/tallowmere-convert' --workgroup '" +
                                m_workgroup + "' '" + m_source + "' '" + m_destination +
                                "' >/dev/null 2>'" + err + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFileBytes(err), "");
}

TEST_F(ConsoleTerminal, CtrlCCancelsKeepingTheRowsWritten) {
    constexpr int kPhrases = 20000;
    AddNumberedGlossary(m_source, kPhrases);
    const Finished f = RunOnTerminal("Copying phrases: ");
    EXPECT_EQ(f.status, 1) << f.terminal;
    EXPECT_NE(f.terminal.find("The conversion was cancelled"), std::string::npos) << f.terminal;
    EXPECT_EQ(f.terminal.find("Conversion complete!"), std::string::npos) << f.terminal;
    // What the message says was kept is what the destination holds.
    std::smatch kept;
    const std::regex copied("and ([0-9]+) phrases? copied");
    ASSERT_TRUE(std::regex_search(f.terminal, kept, copied)) << f.terminal;
    EXPECT_EQ(Phrases(), std::stoll(kept[1]));
}

// Ctrl+C after the copies: the program says the last passes cannot be stopped and completes.
TEST_F(ConsoleTerminal, CtrlCInTheLastPassesIsAnsweredAndTheRunCompletes) {
    constexpr int kPhrases = 20000;
    AddNumberedGlossary(m_source, kPhrases);
    const Finished f = RunOnTerminal("Shortening phrase categories: ");
    EXPECT_EQ(f.status, 0) << f.terminal;
    const auto told =
        f.terminal.find("tallowmere-convert: The last passes are finishing and cannot be stopped");
    const auto done = f.terminal.find("Conversion complete!");
    ASSERT_NE(told, std::string::npos) << f.terminal;
    EXPECT_LT(told, done) << f.terminal;
    EXPECT_EQ(f.terminal.find("cancelled"), std::string::npos) << f.terminal;
    EXPECT_EQ(TestDb(m_destination)
                  .Rows("SELECT count(*) FROM tblPhrase WHERE Data NOT LIKE '{%' AND "
                        "CategoryID = '{1}'"),
              std::vector<std::string>{std::to_string(kPhrases)});
}

}  // namespace
