#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the platform's own menu calls see of a window's system menu. Kept apart from the
// program's headers, which name some of the platform's constants themselves.
struct NativeMenuEntry {
    bool separator = false;
    unsigned id = 0;
    std::string text;
};

std::vector<NativeMenuEntry> NativeSystemMenuEntries(std::uintptr_t window);
// Sends the window the command a click on a system menu entry sends.
void SendNativeSysCommand(std::uintptr_t window, unsigned id);
