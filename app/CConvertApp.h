#pragma once

#include <QApplication>
#include <memory>
#include <optional>
#include <string>

#include "platform/Profile.h"
#include "ui/CConvertDlg.h"

// The application name: the executable's file name without folder and last extension, so that
// a copy started under another name keeps a profile of its own.
std::string ApplicationNameFromPath(const std::string& executablePath);

// The application object: starts the program, selects its profile, runs the main dialog as the
// only window and ends the program when that closes.
class CConvertApp : public CommandTarget {
public:
    CConvertApp(int& argc, char** argv);

    // The start-up; returns false: there is no message loop beyond the dialog's.
    bool InitInstance();

    const std::string& AppName() const { return m_appName; }
    // Profile access once the registry key is selected.
    Profile& GetProfile() { return *m_profile; }
    bool OnCmdMsg(unsigned id) override;

    void SetRegistryKey(int stringId);
    void OnHelp();

private:
    QApplication m_qtApp;
    std::string m_appName;
    std::optional<Profile> m_profile;
    QWidget* m_pMainWnd = nullptr;
};
