#pragma once

#include <QDialog>

#include "ui/DialogTemplate.h"

// The About box, from template 100: the icon, the program's name and version, the notice line.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // Without a parent the box sits over the active window, as the framework's boxes do.
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Runs the box modally: IDOK or IDCANCEL, or -1 when it could not be made.
    int DoModal();

    QWidget* GetDlgItem(int id) const;
    const DialogControls& Controls() const { return m_controls; }
    bool Create();

protected:
    // The box holds no data, so the exchange exchanges nothing.
    void DoDataExchange(bool /*saveAndValidate*/) {}

private:
    DialogControls m_controls;
    bool m_created = false;
};
