// The console program killed outright at several moments of a long run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

#include "tests/robustness/Robustness.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
// Enough phrases that the run lasts about a second, through several write groups.
#ifdef TALLOWMERE_KILL_PHRASES
constexpr int kPhrases = TALLOWMERE_KILL_PHRASES;
#else
constexpr int kPhrases = 50000;
#endif
using Clock = std::chrono::steady_clock;

pid_t Launch(const std::string& source, const std::string& destination) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(TALLOWMERE_CONSOLE_PROGRAM, TALLOWMERE_CONSOLE_PROGRAM, source.c_str(),
              destination.c_str(), "--workgroup", "", static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(KilledConversion, LeavesASoundDestinationThatARerunCompletes) {
    TempDir dir;
    const std::string source = dir.File("source.db");
    const std::string original = dir.File("original.db");
    const std::string destination = dir.File("destination.db");
    MakeLargeGlossary(source, original, kPhrases);
    const std::string sourceBytes = ReadFileBytes(source);

    fs::copy_file(original, destination);
    const auto start = Clock::now();
    ASSERT_EQ(Wait(Launch(source, destination)), 0);
    const auto length = Clock::now() - start;
    const std::vector<std::string> expected = DestinationContent(destination);

    // Moments spread over the run, measured from its own undisturbed length; a moment the run
    // outlives is tried again earlier, so each kill lands mid-run.
    int killed = 0;
    for (int tenths : {1, 3, 5, 7, 9}) {
        SCOPED_TRACE("kill at " + std::to_string(tenths) + "/10 of the run");
        auto delay = length * tenths / 10;
        int status = 0;
        for (int attempt = 0; attempt < 4; ++attempt, delay /= 2) {
            fs::remove(destination + "-journal");
            fs::remove(destination);
            fs::copy_file(original, destination);
            const pid_t pid = Launch(source, destination);
            std::this_thread::sleep_for(delay);
            kill(pid, SIGKILL);
            status = Wait(pid);
            if (status == -SIGKILL) break;
        }
        EXPECT_EQ(status, -SIGKILL) << "the run always ended before the kill";
        if (status == -SIGKILL) ++killed;
        EXPECT_EQ(IntegrityCheck(destination), "ok");
        EXPECT_EQ(ReadFileBytes(source), sourceBytes);
        EXPECT_EQ(Wait(Launch(source, destination)), 0);
        EXPECT_EQ(DestinationContent(destination), expected);
    }
    std::cout << "[ figures  ] kill moments: 5 tried, " << killed << " killed mid-run, run of "
              << std::chrono::duration_cast<std::chrono::milliseconds>(length).count() << " ms\n";
}

}  // namespace
