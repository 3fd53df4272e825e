#pragma once

#include <memory>
#include <string>

#include "db/CurrentUserRegistry.h"
#include "db/DaoException.h"
#include "db/DaoWorkspace.h"
#include "db/UserMessages.h"

inline constexpr const char* kWorkgroupLookupKey =
    "Software\\VB and VBA Program Settings\\zrb.ini\\OptionsDataFile";
inline constexpr const char* kWorkgroupLookupValue = "VeltraneSystemPath";
inline constexpr const char* kRegistryMessageCaption = "Ferrowick";

// The workgroup file in the looked-up folder: "folder\VELTRANE.MDW", or on a system that
// separates folders with "/", "folder/VELTRANE.MDW" where the folder is written that way.
std::string JoinWorkgroupFile(const std::string& folder);
// Forms the workgroup file path from the registry lookup; 1 or 0 (after its own message).
int GetSystemDatabasePath(std::string& path, CurrentUserRegistry& registry, UserMessages& messages);
// Starts the engine on the workgroup file and makes the workspace; 1 or 0.
int StartDaoEngine(std::string path, std::unique_ptr<CDaoWorkspace>& m_pWorkspace,
                   UserMessages& messages);
// Closes and deletes the workspace; 1 or 0.
int CloseWorkspace(std::unique_ptr<CDaoWorkspace>& m_pWorkspace, UserMessages& messages);

// The one form in which an engine error is shown: description, "  \r\rDAO Code:  ", code.
std::string DaoErrorMessage(const CDaoException& e);
void ReportDaoException(const CDaoException& e, UserMessages& messages);
inline constexpr const char* kMemoryErrorMessage = "MEMCATCH CMemoryException";
