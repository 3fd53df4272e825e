#include <csignal>

#include "cli/ConsoleInterrupt.h"

namespace {

extern "C" void OnInterrupt(int) { RequestInterrupt(); }

}  // namespace

void InterruptCancelsRun() { std::signal(SIGINT, OnInterrupt); }
