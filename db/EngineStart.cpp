#include "db/EngineStart.h"

#include <array>

#include "db/DaoEngine.h"

namespace {

constexpr const char* kWorkgroupFileName = "VELTRANE.MDW";
constexpr const char* kWorkspaceName = "Tallowmere";
constexpr const char* kWorkspaceUser = "NKW";
constexpr const char* kWorkspacePassword = "KT372";
constexpr std::size_t kLookupBufferSize = 256;

constexpr unsigned kRegistryMessageStyle = MB_ICONINFORMATION | MB_TASKMODAL | MB_OK;

// Runs an engine step; an engine or memory error is shown and gives 0.
template <class Step>
int ReportingEngineErrors(UserMessages& messages, Step&& step) {
    try {
        return step();
    } catch (const CDaoException& e) {
        ReportDaoException(e, messages);
        return 0;
    } catch (const CMemoryException&) {
        messages.ShowAppMessage(kMemoryErrorMessage, MB_OK);
        return 0;
    }
}

}  // namespace

std::string JoinWorkgroupFile(const std::string& folder) {
#ifndef _WIN32
    // A folder written the platform's way gets the platform's separator; one that holds a
    // backslash anywhere (a Windows path, or a trailing "\") keeps the registry's form.
    if (folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos) {
        return folder + '/' + kWorkgroupFileName;
    }
#endif
    return folder + '\\' + kWorkgroupFileName;
}

int GetSystemDatabasePath(std::string& path, CurrentUserRegistry& registry,
                          UserMessages& messages) {
    if (!registry.OpenKey(kWorkgroupLookupKey)) {
        messages.ShowOwnedMessage("Error opening VeltraneSystemPath registry key.",
                                  kRegistryMessageCaption, kRegistryMessageStyle);
        return 0;
    }
    std::array<char, kLookupBufferSize> buffer{};
    // A missing or over-long value is not reported: the engine then gets an empty path.
    if (registry.QueryValue(kWorkgroupLookupValue, buffer.data(), buffer.size())) {
        path = JoinWorkgroupFile(buffer.data());
    }
    if (!registry.CloseKey()) {
        messages.ShowOwnedMessage("Error closing VeltraneSystemPath registry key.",
                                  kRegistryMessageCaption, kRegistryMessageStyle);
        return 0;
    }
    return 1;
}

int StartDaoEngine(std::string path, std::unique_ptr<CDaoWorkspace>& m_pWorkspace,
                   UserMessages& messages) {
    return ReportingEngineErrors(messages, [&] {
        AfxDaoInit();
        CDaoDBEngine* engine = AfxDaoGetEngine();
        if (engine == nullptr) {
            AfxDaoTerm();
            return 0;
        }
        AfxDaoCheck(engine->SetSystemDB(path));
        if (!m_pWorkspace) {
            m_pWorkspace = std::make_unique<CDaoWorkspace>();
            m_pWorkspace->Create(kWorkspaceName, kWorkspaceUser, kWorkspacePassword);
        }
        return 1;
    });
}

int CloseWorkspace(std::unique_ptr<CDaoWorkspace>& m_pWorkspace, UserMessages& messages) {
    if (!m_pWorkspace) return 1;
    return ReportingEngineErrors(messages, [&] {
        if (m_pWorkspace->IsOpen()) m_pWorkspace->Close();
        m_pWorkspace.reset();
        return 1;
    });
}

std::string DaoErrorMessage(const CDaoException& e) {
    return e.m_pErrorInfo->m_strDescription +
           "  \r\rDAO Code:  " + std::to_string(e.m_pErrorInfo->m_lErrorCode);
}

void ReportDaoException(const CDaoException& e, UserMessages& messages) {
    messages.ShowAppMessage(DaoErrorMessage(e), MB_OK);
}
