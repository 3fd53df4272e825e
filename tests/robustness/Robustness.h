#pragma once

#include <functional>
#include <string>
#include <vector>

// One run of the console program's logic in this process.
struct ConsoleRun {
    int status = -1;
    std::string out;
    std::string err;
};

// tallowmere-convert SOURCE DESTINATION with the default workgroup, driven in-process.
ConsoleRun ConvertInProcess(const std::string& source, const std::string& destination);

// Every row of both destination tables, ordered by key, each value with its storage type and
// bytes, so any difference in content or type shows.
std::vector<std::string> DestinationContent(const std::string& path);
// Every row of the three source tables, the same way.
std::vector<std::string> SourceContent(const std::string& path);
// "ok" when the store finds the file sound, else its findings.
std::string IntegrityCheck(const std::string& path);
// The number after "DAO Code:" in a message, or 0 when there is none.
int DaoCodeIn(const std::string& message);

// A small glossary whose identifiers carry nothing after their closing brace, so a rerun after
// an interrupted run gives exactly the undisturbed result. The destination already holds rows
// of its own that the source does not have.
void MakeSmallGlossary(const std::string& source, const std::string& destination);
// A glossary of the given size, quick to make.
void MakeLargeGlossary(const std::string& source, const std::string& destination, int phrases);

// Runs fn in a child process (as an unprivileged user when this one is root, so file
// permissions apply) and returns its exit status; what fn writes to out comes back in output.
int RunInUnprivilegedChild(const std::function<int(std::string& out)>& fn, std::string& output);
