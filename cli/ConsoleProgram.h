#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "db/CurrentUserRegistry.h"

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitErrorReported = 1;
inline constexpr int kExitUsage = 2;

// tallowmere-convert SOURCE DESTINATION [--workgroup FILE]; returns the exit status. With
// showProgress (standard error is a terminal) a line on err follows the run.
int RunConsoleProgram(const std::vector<std::string>& arguments, CurrentUserRegistry& registry,
                      std::ostream& out, std::ostream& err, bool showProgress = false);

// "tallowmere-convert " and the program's version.
std::string VersionText();
