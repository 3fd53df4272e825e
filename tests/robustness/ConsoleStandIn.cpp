// The console program without its Qt shell, for builds that have no Qt: the same Start flow
// behind the same command line (the workgroup must be given with --workgroup).
#include <iostream>

#include "cli/ConsoleProgram.h"

namespace {

class NoRegistry : public CurrentUserRegistry {
public:
    bool OpenKey(const std::string&) override { return false; }
    bool QueryValue(const std::string&, char*, std::size_t) override { return false; }
    bool CloseKey() override { return true; }
};

}  // namespace

int main(int argc, char* argv[]) {
    NoRegistry registry;
    return RunConsoleProgram(std::vector<std::string>(argv + 1, argv + argc), registry, std::cout,
                             std::cerr);
}
