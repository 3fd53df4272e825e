#include <windows.h>

#include "cli/ConsoleInterrupt.h"

namespace {

// Windows ends the process once the handler of a close or shut-down returns, and after about
// five seconds whether it has returned or not. Until then the run stops after its current row
// and commits what it wrote; the program's own exit ends the wait.
constexpr DWORD kEndingGraceMs = 4500;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            RequestInterrupt();
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            RequestInterrupt();
            Sleep(kEndingGraceMs);
            return TRUE;
        default:
            return FALSE;  // a log-off may be another user's
    }
}

}  // namespace

void InterruptCancelsRun() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }
