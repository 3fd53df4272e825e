#include "cli/ConsoleProgram.h"

#include <optional>
#include <ostream>

#include "cli/ConsoleHost.h"
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

struct Arguments {
    std::string source;
    std::string destination;
    std::optional<std::string> workgroup;
};

// Parses the command line; a message for the user when it is wrong.
std::optional<Arguments> Parse(const std::vector<std::string>& arguments, std::string& error) {
    Arguments parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--workgroup") {
            if (i + 1 == arguments.size()) {
                error = "--workgroup needs a file name.";
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
            error = "Unknown option '" + argument + "'.";
            return std::nullopt;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) {
        error = "Give exactly two databases: SOURCE and DESTINATION.";
        return std::nullopt;
    }
    parsed.source = positional[0];
    parsed.destination = positional[1];
    return parsed;
}

}  // namespace

std::string VersionText() { return std::string("tallowmere-convert ") + TALLOWMERE_VERSION; }

int RunConsoleProgram(const std::vector<std::string>& arguments, CurrentUserRegistry& registry,
                      std::ostream& out, std::ostream& err, bool showProgress) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;  // what follows are file names, whatever they look like
        if (argument == "--help" || argument == "-h") {
            out << kUsage;
            return kExitCompleted;
        }
        if (argument == "--version") {
            out << VersionText() << '\n';
            return kExitCompleted;
        }
    }
    std::string error;
    const std::optional<Arguments> parsed = Parse(arguments, error);
    if (!parsed) {
        err << "tallowmere-convert: " << error << "\n\n" << kUsage;
        return kExitUsage;
    }
    ConsoleHost host(out, err, showProgress);
    StartCommand start(host, registry);
    if (parsed->workgroup) start.SetWorkgroupFile(*parsed->workgroup);
    start.RunAndReport(parsed->source, parsed->destination);
    return host.Completed() && !host.ErrorReported() ? kExitCompleted : kExitErrorReported;
}
