// The main dialog's system menu: the menu itself where the window manager owns the real one, the
// keys that open it, and the handler of system commands.
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWindow>

#include "ui/CAboutDlg.h"
#include "ui/CConvertDlg.h"
#ifdef Q_OS_WIN
#include "ui/NativeSystemMenu.h"
#endif

bool CConvertDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        ShowSystemMenuFromKeyboard();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CConvertDlg::ShowSystemMenuFromKeyboard() {
    QWidget* at = focusWidget() != nullptr ? focusWidget() : this;
    ShowSystemMenuAt(at->mapToGlobal(QPoint(0, at->height())));
}

std::unique_ptr<QMenu> CConvertDlg::CreateSystemMenuPopup() {
    auto menu = std::make_unique<QMenu>(this);
    for (const SystemMenuItem& item : m_systemMenu.Items()) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLocal8Bit(item.text));
        action->setData(item.id);
    }
    return menu;
}

void CConvertDlg::ShowSystemMenuAt(const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu = CreateSystemMenuPopup();
    QAction* chosen = menu->exec(globalPos);
    if (chosen != nullptr) OnSysCommand(chosen->data().toUInt(), 0);
}

void CConvertDlg::contextMenuEvent(QContextMenuEvent* event) {
#ifdef Q_OS_WIN
    QDialog::contextMenuEvent(event);
#else
    // The window manager owns the real system menu here, so the dialog offers its own.
    ShowSystemMenuAt(event->globalPos());
#endif
}

void CConvertDlg::OnSysCommand(unsigned nID, qintptr /*lParam*/) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
        return;
    }
    DefaultSysCommand(nID);
}

void CConvertDlg::DefaultSysCommand(unsigned nID) {
    if (m_inNativeSysCommand) {
        // The platform's own default processing follows.
        m_sysCommandHandedOn = true;
        return;
    }
    switch (nID & 0xFFF0) {
        case SC_CLOSE:
            close();
            break;
        case SC_MOVE:
            if (QWindow* window = windowHandle()) window->startSystemMove();
            break;
        case SC_MINIMIZE:
            showMinimized();
            break;
        default:
            break;
    }
}

#ifdef Q_OS_WIN
bool CConvertDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    unsigned id = 0;
    qintptr lParam = 0;
    if (!IsNativeSysCommand(eventType, message, id, lParam)) {
        return QDialog::nativeEvent(eventType, message, result);
    }
    m_inNativeSysCommand = true;
    m_sysCommandHandedOn = false;
    OnSysCommand(id, lParam);
    m_inNativeSysCommand = false;
    if (m_sysCommandHandedOn) return QDialog::nativeEvent(eventType, message, result);
    *result = 0;
    return true;
}
#endif
