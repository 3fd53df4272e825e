#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "db/CurrentUserRegistry.h"

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitErrorReported = 1;
inline constexpr int kExitUsage = 2;

// tallowmere-convert SOURCE DESTINATION [--workgroup FILE]; returns the exit status.
int RunConsoleProgram(const std::vector<std::string>& arguments, CurrentUserRegistry& registry,
                      std::ostream& out, std::ostream& err);
