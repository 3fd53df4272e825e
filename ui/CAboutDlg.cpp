#include "ui/CAboutDlg.h"

#include <QApplication>
#include <QPushButton>

#include "db/UserMessages.h"
#include "ui/Resources.h"

namespace {

constexpr Qt::WindowFlags kModalFrameFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                             Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                             Qt::WindowCloseButtonHint;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, kModalFrameFlags) {}

bool CAboutDlg::Create() {
    if (m_created) return true;
    const DialogTemplate* dialogTemplate = FindDialogTemplate(IDD_ABOUTBOX);
    if (dialogTemplate == nullptr || !CreateDialogControls(*this, *dialogTemplate, m_controls)) {
        return false;
    }
    setWindowIcon(LoadIconResource(IDR_MAINFRAME));
    if (auto* ok = qobject_cast<QPushButton*>(GetDlgItem(IDOK))) {
        connect(ok, &QPushButton::clicked, this, [this] {
            DoDataExchange(true);
            accept();
        });
        ok->setFocus();
    }
    DoDataExchange(false);
    m_created = true;
    return true;
}

int CAboutDlg::DoModal() {
    if (parentWidget() == nullptr && QApplication::activeWindow() != nullptr) {
        setParent(QApplication::activeWindow(), windowFlags());
    }
    if (!Create()) return -1;
    return exec() == QDialog::Accepted ? IDOK : 2 /* IDCANCEL */;
}

QWidget* CAboutDlg::GetDlgItem(int id) const {
    const auto found = m_controls.byId.find(id);
    return found == m_controls.byId.end() ? nullptr : found->second;
}
