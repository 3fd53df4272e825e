#include "convert/StartCommand.h"

#include <exception>

#include "convert/Conversion.h"
#include "db/EngineStart.h"

StartCommand::StartCommand(ConversionHost& host, CurrentUserRegistry& registry)
    : m_host(host), m_registry(registry) {}

void StartCommand::Run(const std::string& source, const std::string& destination) {
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
    RunConversion(source, destination, m_host);
    CloseWorkspace(m_pWorkspace, m_host);
    m_host.ShowOwnedMessage(kCompletionMessage, kCompletionCaption, MB_OK);
    m_host.EnableStartButton(true);
}

void StartCommand::RunAndReport(const std::string& source, const std::string& destination) {
    // The general handler for errors that leave the Start handler: the window stays usable, and
    // Start is enabled again, since a run that ended early never got to enable it.
    std::string report;
    try {
        Run(source, destination);
        return;
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
    m_host.ShowAppMessage(report, MB_OK);
}
