#pragma once

#include <string>

// The path a file name given by the program means on this platform. Paths are formed the
// platform's way ("dir\FILE"); where "/" separates folders, a backslash is taken as one too.
std::string NativeStorePath(const std::string& path);
