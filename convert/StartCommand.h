#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "convert/ConversionHost.h"
#include "convert/WorkgroupSetupHelp.h"
#include "db/CurrentUserRegistry.h"
#include "db/DaoWorkspace.h"

inline constexpr const char* kCompletionMessage = "Conversion complete!";
inline constexpr const char* kCompletionCaption = "Tallowmere";
inline constexpr const char* kEngineStartFailedMessage = "Failed initializing database engine.";

// The Start button's work, written once for every host: workgroup lookup, engine start, the run,
// workspace close and the closing message. It owns the workspace on the host's behalf.
class StartCommand {
public:
    StartCommand(ConversionHost& host, CurrentUserRegistry& registry);

    // Takes the workgroup file from here instead of the registry lookup.
    void SetWorkgroupFile(std::string path) { m_workgroupFile = std::move(path); }
    // Where the lookup finds no setting, or a setting naming a missing file, its messages carry
    // this help as their details.
    void SetWorkgroupSetupHelp(WorkgroupSetupHelp help) { m_setupHelp = std::move(help); }

    // The handler's steps; an engine error of the run leaves it.
    void Run(const std::string& source, const std::string& destination);
    // Run, with an error that leaves it reported as the framework's general handler reports it
    // and the Start button enabled again.
    void RunAndReport(const std::string& source, const std::string& destination);

    const std::unique_ptr<CDaoWorkspace>& Workspace() const { return m_pWorkspace; }
    // What the last run changed, as far as it got.
    const ConversionSummary& LastSummary() const { return m_summary; }

private:
    // The details of a closing message: what the run changed, if it began.
    std::string Details();
    std::string SetupHelp(const std::string& missingFile) const;

    ConversionHost& m_host;
    CurrentUserRegistry& m_registry;
    std::optional<std::string> m_workgroupFile;
    WorkgroupSetupHelp m_setupHelp;
    std::unique_ptr<CDaoWorkspace> m_pWorkspace;
    ConversionSummary m_summary;
    std::chrono::steady_clock::time_point m_started;
    bool m_runBegan = false;
};
