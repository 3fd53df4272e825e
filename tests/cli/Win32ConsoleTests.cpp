// Windows: the real console program in a console, as from a command prompt: the progress line
// while it runs, and Ctrl+C or Ctrl+Break as Cancel with the rows written so far kept.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

using Clock = std::chrono::steady_clock;

// The test program stays when the Ctrl+C it sends to the whole console reaches it too.
BOOL WINAPI KeepRunning(DWORD) { return TRUE; }

std::string ProgramPath() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    return path.substr(0, path.find_last_of("\\/") + 1) + "tallowmere-convert.exe";
}

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

HANDLE Inheritable(const char* name, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Everything on the console's screen up to the cursor, rows joined as they are, so that a line
// the console wrapped reads whole.
std::string ScreenText(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(console, &info)) return {};
    std::string text(static_cast<std::size_t>(info.dwSize.X) * (info.dwCursorPosition.Y + 1), ' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterA(console, text.data(), static_cast<DWORD>(text.size()), COORD{0, 0},
                                &read);
    text.resize(read);
    return text;
}

void ClearScreen(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(console, &info);
    DWORD written = 0;
    FillConsoleOutputCharacterA(console, ' ', static_cast<DWORD>(info.dwSize.X) * info.dwSize.Y,
                                COORD{0, 0}, &written);
    SetConsoleCursorPosition(console, COORD{0, 0});
}

class Win32Console : public testing::Test {
protected:
    static void SetUpTestSuite() { SetConsoleCtrlHandler(KeepRunning, TRUE); }

    void SetUp() override {
        m_console = Inheritable("CONOUT$", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
        if (m_console == INVALID_HANDLE_VALUE) {
            GTEST_SKIP() << "no console: run this from a terminal (scripts/test-windows does)";
        }
        ClearScreen(m_console);
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
        WriteFileBytes(m_workgroup, "workgroup");
    }

    void TearDown() override {
        if (m_process != nullptr) {
            // A test that failed half-way leaves no run behind in its scratch folder.
            TerminateProcess(m_process, 99);
            WaitForSingleObject(m_process, 10000);
            CloseHandle(m_process);
        }
        if (m_console != INVALID_HANDLE_VALUE) CloseHandle(m_console);
    }

    // Starts the program with the given standard output and error, on the test's console.
    bool Start(HANDLE out, HANDLE err) {
        std::string command = Quoted(ProgramPath()) + " --workgroup " + Quoted(m_workgroup) + " " +
                              Quoted(m_source) + " " + Quoted(m_destination);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process)) {
            return false;
        }
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        return true;
    }

    bool Running() { return WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

    // Waits until the text shows on the console while the program runs.
    bool AwaitOnScreen(const std::string& text) {
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (Clock::now() < deadline && Running()) {
            if (ScreenText(m_console).find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    DWORD ExitStatus() {
        if (WaitForSingleObject(m_process, 120000) != WAIT_OBJECT_0) return 259;
        DWORD status = 0;
        GetExitCodeProcess(m_process, &status);
        CloseHandle(m_process);
        m_process = nullptr;
        return status;
    }

    int64_t Phrases() { return TestDb(m_destination).Count("tblPhrase"); }

    TempDir m_dir;
    std::string m_source = m_dir.File("am_pub.db");
    std::string m_destination = m_dir.File("phrases.db");
    std::string m_workgroup = m_dir.File("VELTRANE.MDW");
    HANDLE m_console = INVALID_HANDLE_VALUE;
    HANDLE m_process = nullptr;
};

// Each goes to every program on the console, as when typed at its keyboard.
struct InterruptCase {
    const char* name;
    DWORD event;
};

void PrintTo(const InterruptCase& c, std::ostream* out) { *out << c.name; }

class Win32ConsoleInterrupt : public Win32Console,
                              public testing::WithParamInterface<InterruptCase> {};

TEST_P(Win32ConsoleInterrupt, CancelsKeepingTheRowsWritten) {
    const InterruptCase& c = GetParam();
    constexpr int kPhrases = 20000;
    AddNumberedGlossary(m_source, kPhrases);
    ASSERT_TRUE(Start(m_console, m_console)) << GetLastError();
    // The progress line shows the run is in its longest pass.
    ASSERT_TRUE(AwaitOnScreen("Copying phrases: ")) << ScreenText(m_console);
    if (!GenerateConsoleCtrlEvent(c.event, 0)) {
        if (c.event == CTRL_BREAK_EVENT && UnderWine()) {
            GTEST_SKIP() << "Wine sends no Ctrl+Break to a console's programs";
        }
        FAIL() << "GenerateConsoleCtrlEvent: " << GetLastError();
    }
    EXPECT_EQ(ExitStatus(), 1u) << ScreenText(m_console);
    const std::string screen = ScreenText(m_console);
    EXPECT_NE(screen.find("The conversion was cancelled"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Conversion complete!"), std::string::npos) << screen;
    // What the message says was kept is what the destination holds: committed, and not all.
    std::smatch kept;
    ASSERT_TRUE(std::regex_search(screen, kept, std::regex("and ([0-9]+) phrases? copied")))
        << screen;
    EXPECT_EQ(Phrases(), std::stoll(kept[1]));
    EXPECT_LT(Phrases(), kPhrases);
}

INSTANTIATE_TEST_SUITE_P(Console, Win32ConsoleInterrupt,
                         testing::Values(InterruptCase{"CtrlC", CTRL_C_EVENT},
                                         InterruptCase{"CtrlBreak", CTRL_BREAK_EVENT}),
                         [](const testing::TestParamInfo<InterruptCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Win32Console, NoProgressLineWhenStandardErrorIsAFile) {
    AddNumberedGlossary(m_source, 200);
    const std::string errFile = m_dir.File("stderr.txt");
    const HANDLE err = Inheritable(errFile.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(err, INVALID_HANDLE_VALUE);
    const bool started = Start(m_console, err);
    CloseHandle(err);
    ASSERT_TRUE(started) << GetLastError();
    EXPECT_EQ(ExitStatus(), 0u) << ScreenText(m_console);
    EXPECT_EQ(ReadFileBytes(errFile), "");
    EXPECT_NE(ScreenText(m_console).find("Conversion complete!"), std::string::npos);
}

}  // namespace
