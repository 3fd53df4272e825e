#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "cli/ConsoleInterrupt.h"
#include "cli/ConsoleProgram.h"
#include "platform/SettingsRegistry.h"
#include "platform/WorkgroupSettingHelp.h"

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    SettingsRegistry registry;
    InterruptCancelsRun();
    // The progress line is for a person watching, never for a file or a pipe.
    const bool terminal = isatty(fileno(stderr)) != 0;
    return RunConsoleProgram(arguments, registry, std::cout, std::cerr, terminal,
                             SettingsWorkgroupSetupHelp(registry));
}
