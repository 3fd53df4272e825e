// The console program on Windows: the workgroup lookup reads the registry itself, without Qt.
#include <windows.h>

#include <iostream>

#include "cli/ConsoleInterrupt.h"
#include "cli/ConsoleProgram.h"
#include "cli/Win32CurrentUserRegistry.h"

int main(int argc, char* argv[]) {
    // The program's text is UTF-8 (its manifest makes that the process code page); the console
    // shows it as such.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    Win32CurrentUserRegistry registry;
    InterruptCancelsRun();
    // The progress line is for a person watching a console, never for a file or a pipe.
    DWORD mode = 0;
    const bool console = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
    return RunConsoleProgram(arguments, registry, std::cout, std::cerr, console);
}
