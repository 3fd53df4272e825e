#include "cli/ConsoleProgram.h"

#include <optional>
#include <ostream>

#include "cli/ConsoleHost.h"
#include "cli/TerminalColumns.h"
#include "convert/StartCommand.h"

namespace {

constexpr const char* kUsage =
    "Usage: tallowmere-convert SOURCE DESTINATION [--workgroup FILE]\n"
    "\n"
    "Copies the categories and phrases of the glossary database SOURCE into the phrase\n"
    "database DESTINATION, overwriting rows with the same key, reduces category identifiers\n"
    "to their braced part and turns phrase rich text into plain text. SOURCE is only read;\n"
    "DESTINATION is changed in place. Either may also be an ODBC connection string that\n"
    "begins with \"ODBC;\", for example \"ODBC;DSN=Scrivane\" or\n"
    "\"ODBC;Driver=SQLite3;Database=/data/am_pub.db\".\n"
    "\n"
    "  --workgroup FILE  use FILE as the workgroup information file instead of looking up\n"
    "                    its folder in the settings (VeltraneSystemPath)\n"
    "  --help            show this text\n"
    "  --version         show the program's version\n"
    "\n"
    "On a terminal, standard error shows how far the conversion is. While categories and\n"
    "phrases are copied, Ctrl+C stops it after the current row: the rows written so far are\n"
    "kept and a later run redoes the rest. The last passes always finish. After\n"
    "\"Conversion complete!\" standard output lists what the conversion changed.\n"
    "\n"
    "Exit status: 0 when the conversion completed and no error was reported, 1 when an error\n"
    "was reported or the conversion was cancelled, 2 for wrong arguments.\n";

constexpr const char* kVersionNotice =
    "Copyright (C) Veltrane\n"
    "License: MIT, the licence that comes with the program. There is NO WARRANTY.\n";

struct Arguments {
    std::string source;
    std::string destination;
    std::optional<std::string> workgroup;
};

// Parses the command line; what is wrong with it, in the words GNU tools use, when it is wrong.
std::optional<Arguments> Parse(const std::vector<std::string>& arguments, std::string& error) {
    Arguments parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--workgroup") {
            if (i + 1 == arguments.size()) {
                error = "option '--workgroup' requires an argument";
                return std::nullopt;
            }
            parsed.workgroup = arguments[++i];
        } else if (argument.rfind("--workgroup=", 0) == 0) {
            parsed.workgroup = argument.substr(12);
        } else if (argument == "--") {
            positional.insert(positional.end(), arguments.begin() + static_cast<long>(i) + 1,
                              arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unrecognized option '" + argument + "'";
            return std::nullopt;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.empty()) {
        error = "missing SOURCE and DESTINATION databases";
        return std::nullopt;
    }
    if (positional.size() == 1) {
        error = "missing DESTINATION database after '" + positional[0] + "'";
        return std::nullopt;
    }
    if (positional.size() > 2) {
        error = "extra operand '" + positional[2] + "'";
        return std::nullopt;
    }
    parsed.source = positional[0];
    parsed.destination = positional[1];
    return parsed;
}

}  // namespace

std::string VersionText() {
    return std::string(kProgramName) + " (Tallowmere) " + TALLOWMERE_VERSION;
}

int RunConsoleProgram(const std::vector<std::string>& arguments, CurrentUserRegistry& registry,
                      std::ostream& out, std::ostream& err, bool showProgress,
                      WorkgroupSetupHelp setupHelp) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;  // what follows are file names, whatever they look like
        if (argument == "--help" || argument == "-h") {
            out << kUsage;
            return kExitCompleted;
        }
        if (argument == "--version") {
            out << VersionText() << '\n' << kVersionNotice;
            return kExitCompleted;
        }
    }
    std::string error;
    const std::optional<Arguments> parsed = Parse(arguments, error);
    if (!parsed) {
        // One line naming the problem and where to read more, as GNU tools do.
        err << kProgramName << ": " << error << "\nTry '" << kProgramName
            << " --help' for more information.\n";
        return kExitUsage;
    }
    ConsoleHost host(out, err, showProgress);
    if (showProgress) host.SetTerminalColumns(TerminalColumns);
    StartCommand start(host, registry);
    if (parsed->workgroup) start.SetWorkgroupFile(*parsed->workgroup);
#ifdef _WIN32
    if (!setupHelp) setupHelp = RegistryWorkgroupSetupHelp;
#endif
    if (setupHelp) {
        // The console can also be given the file at each run.
        start.SetWorkgroupSetupHelp([help = std::move(setupHelp)](const std::string& missing) {
            return help(missing) + "\nOr give the file at each run: " + kProgramName +
                   " --workgroup FILE SOURCE DESTINATION";
        });
    }
    start.RunAndReport(parsed->source, parsed->destination);
    return host.Completed() && !host.ErrorReported() ? kExitCompleted : kExitErrorReported;
}
