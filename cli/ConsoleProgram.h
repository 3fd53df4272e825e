#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "convert/WorkgroupSetupHelp.h"
#include "db/CurrentUserRegistry.h"

// The name the program's messages on standard error begin with, as GNU tools begin theirs.
inline constexpr const char* kProgramName = "tallowmere-convert";

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitErrorReported = 1;
inline constexpr int kExitUsage = 2;

// tallowmere-convert SOURCE DESTINATION [--workgroup FILE]; returns the exit status. With
// showProgress (standard error is a terminal) a line on err follows the run. setupHelp says where
// the workgroup setting lives when the lookup finds none usable; without it, where the registry
// keeps it on Windows, and nothing elsewhere.
int RunConsoleProgram(const std::vector<std::string>& arguments, CurrentUserRegistry& registry,
                      std::ostream& out, std::ostream& err, bool showProgress = false,
                      WorkgroupSetupHelp setupHelp = {});

// "tallowmere-convert (Tallowmere) " and the version the About box shows.
std::string VersionText();
