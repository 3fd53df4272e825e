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
    // The general handler for errors that leave the Start handler: the window stays usable.
    try {
        Run(source, destination);
    } catch (const CDaoException& e) {
        m_host.ShowAppMessage(DaoErrorMessage(e), MB_OK);
    } catch (const CMemoryException&) {
        m_host.ShowAppMessage("Out of memory.", MB_OK);
    } catch (const std::bad_alloc&) {
        m_host.ShowAppMessage("Out of memory.", MB_OK);
    } catch (const std::exception& e) {
        m_host.ShowAppMessage(std::string("The conversion stopped: ") + e.what(), MB_OK);
    }
}
