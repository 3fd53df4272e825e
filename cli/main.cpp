#include <QCoreApplication>
#include <iostream>

#include "cli/ConsoleProgram.h"
#include "platform/SettingsRegistry.h"

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    SettingsRegistry registry;
    return RunConsoleProgram(arguments, registry, std::cout, std::cerr);
}
