#include "convert/StartCommand.h"

#include <exception>

#include "convert/Conversion.h"
#include "db/EngineStart.h"

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
    } else if (!GetSystemDatabasePath(path, m_registry, m_host)) {
        return;
    }
    if (!StartDaoEngine(path, m_pWorkspace, m_host)) {
        m_host.ShowOwnedMessage(kEngineStartFailedMessage, kRegistryMessageCaption, MB_OK);
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

std::string StartCommand::Details() {
    if (!m_runBegan) return {};
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
