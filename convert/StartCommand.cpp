#include "convert/StartCommand.h"

#include <exception>
#include <filesystem>

#include "convert/Conversion.h"
#include "db/EngineStart.h"
#include "db/StorePath.h"

namespace {

// Tells the host the run is over on every way out of it, before any closing message.
class RunEndedGuard {
public:
    explicit RunEndedGuard(ConversionHost& host) : m_host(host) {}
    ~RunEndedGuard() { m_host.RunEnded(); }
    RunEndedGuard(const RunEndedGuard&) = delete;
    RunEndedGuard& operator=(const RunEndedGuard&) = delete;

private:
    ConversionHost& m_host;
};

// Passes messages on with details beneath every one: the registry lookup's own messages keep
// their text and caption and gain the help.
class MessagesWithDetails : public UserMessages {
public:
    MessagesWithDetails(UserMessages& messages, std::function<std::string()> details)
        : m_messages(messages), m_details(std::move(details)) {}

    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override {
        return m_messages.ShowOwnedMessageWithDetails(text, caption, style, Details());
    }
    int ShowAppMessage(const std::string& text, unsigned style) override {
        return m_messages.ShowAppMessageWithDetails(text, style, Details());
    }

private:
    std::string Details() const { return m_details ? m_details() : std::string(); }

    UserMessages& m_messages;
    std::function<std::string()> m_details;
};

}  // namespace

StartCommand::StartCommand(ConversionHost& host, CurrentUserRegistry& registry)
    : m_host(host), m_registry(registry) {}

void StartCommand::Run(const std::string& source, const std::string& destination) {
    m_summary = {};
    m_runBegan = false;
    m_started = std::chrono::steady_clock::now();
    std::string path;
    if (m_workgroupFile) {
        path = *m_workgroupFile;
    } else {
        MessagesWithDetails lookupMessages(m_host, [this] { return SetupHelp({}); });
        if (!GetSystemDatabasePath(path, m_registry, lookupMessages)) return;
    }
    if (!StartDaoEngine(path, m_pWorkspace, m_host)) {
        // A looked-up folder without the workgroup file: the last box says where it was set.
        std::error_code error;
        const bool missing = !m_workgroupFile && !path.empty() &&
                             !std::filesystem::is_regular_file(NativeStorePath(path), error);
        m_host.ShowOwnedMessageWithDetails(kEngineStartFailedMessage, kRegistryMessageCaption,
                                           MB_OK, missing ? SetupHelp(path) : std::string());
        return;
    }
    {
        RunEndedGuard ended(m_host);
        m_runBegan = true;
        RunConversion(source, destination, m_host, &m_summary);
    }
    m_summary.completed = true;
    CloseWorkspace(m_pWorkspace, m_host);
    m_host.ShowOwnedMessageWithDetails(kCompletionMessage, kCompletionCaption, MB_OK, Details());
    m_host.EnableStartButton(true);
}

std::string StartCommand::SetupHelp(const std::string& missingFile) const {
    return m_setupHelp ? m_setupHelp(missingFile) : std::string();
}

std::string StartCommand::Details() {
    // A run that ended before its first pass changed nothing: a summary would be all zeros.
    if (!m_runBegan || !m_summary.lastProgress) return {};
    m_summary.elapsed = std::chrono::steady_clock::now() - m_started;
    return SummaryDetails(m_summary);
}

void StartCommand::RunAndReport(const std::string& source, const std::string& destination) {
    // The general handler for errors that leave the Start handler: the window stays usable, and
    // Start is enabled again, since a run that ended early never got to enable it.
    std::string report;
    try {
        Run(source, destination);
        return;
    } catch (const ConversionCancelled&) {
        report = CancelledMessage(m_summary);
    } catch (const CDaoException& e) {
        report = DaoErrorMessage(e);
    } catch (const CMemoryException&) {
        report = "Out of memory.";
    } catch (const std::bad_alloc&) {
        report = "Out of memory.";
    } catch (const std::exception& e) {
        report = std::string("The conversion stopped: ") + e.what();
    }
    m_host.EnableStartButton(true);
    m_host.ShowAppMessageWithDetails(report, MB_OK, Details());
    for (const std::string& later : m_summary.errorsWhileClosing) {
        m_host.ShowAppMessage(later, MB_OK);
    }
}
