// The main dialog's browse buttons: the open-file dialog for each path, and the profile.
#include "platform/Profile.h"
#include "ui/CConvertDlg.h"
#include "ui/OpenFileDialog.h"

void CConvertDlg::Browse(std::string& path, const char* filter, const char* entry) {
    OpenFileRequest request;
    request.openMode = true;
    request.defaultExtension = kDatabaseExtension;
    request.fileName = path;
    request.flags = OFN_NOVALIDATE;
    request.filter = filter;
    request.owner = this;
    const std::optional<std::string> chosen = m_fileDialog->Run(request);
    if (!chosen) return;
    path = *chosen;
    UpdateData(false);
    m_profile.WriteProfileString(kPathsSection, entry, path);
}

void CConvertDlg::OnBrowseSource() { Browse(m_strSource, kSourceFilter, kSourceEntry); }

void CConvertDlg::OnBrowseDestination() {
    Browse(m_strDestination, kDestinationFilter, kDestinationEntry);
}
