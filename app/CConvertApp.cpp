#include "app/CConvertApp.h"

#include <QFileInfo>

#include "ui/MessageBoxes.h"
#include "ui/Resources.h"

std::string ApplicationNameFromPath(const std::string& executablePath) {
    const QFileInfo file(QString::fromLocal8Bit(executablePath));
    return file.completeBaseName().toLocal8Bit().toStdString();
}

CConvertApp::CConvertApp(int& argc, char** argv)
    : m_qtApp(argc, argv),
      // The name the program was started under, not where a link to it points.
      m_appName(ApplicationNameFromPath(argc > 0 ? argv[0] : "Tallowmere")) {
    QCoreApplication::setApplicationName(QString::fromLocal8Bit(m_appName));
}

void CConvertApp::SetRegistryKey(int stringId) {
    const std::string key = LoadResourceString(stringId);
    QCoreApplication::setOrganizationName(QString::fromLocal8Bit(key));
    m_profile.emplace(key, m_appName);
}

bool CConvertApp::InitInstance() {
    // Dialogs can always host the rich-text control here, and Qt's controls already have the
    // three-dimensional look: the first two start-up steps have nothing to do.
    SetRegistryKey(IDS_REGISTRY_KEY);

    CConvertDlg dlg(*m_profile);
    dlg.SetCommandTarget(this);
    m_pMainWnd = &dlg;
    dlg.DoModal();  // however it ended, the program ends
    m_pMainWnd = nullptr;
    return false;
}

// The command map: the Help command is the only one the application handles.
bool CConvertApp::OnCmdMsg(unsigned id) {
    if (id == ID_HELP) {
        OnHelp();
        return true;
    }
    return false;
}

void CConvertApp::OnHelp() {
    // The program comes with no help file.
    MessageBoxes boxes(m_pMainWnd);
    boxes.ShowAppMessage("No help is available for " + m_appName + ".", MB_OK | MB_ICONINFORMATION);
}
