// Windows only: the dialog's additions to its real system menu.
#include "ui/NativeSystemMenu.h"

#include <windows.h>

void AppendToNativeSystemMenu(QWidget& window, const std::vector<SystemMenuItem>& items,
                              std::size_t firstNew) {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (menu == nullptr) return;
    for (std::size_t i = firstNew; i < items.size(); ++i) {
        if (items[i].separator) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu, MF_STRING, items[i].id, items[i].text.c_str());
        }
    }
}

bool IsNativeSysCommand(const QByteArray& eventType, void* message, unsigned& id, qintptr& lParam) {
    if (eventType != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_SYSCOMMAND) return false;
    id = static_cast<unsigned>(msg->wParam);
    lParam = static_cast<qintptr>(msg->lParam);
    return true;
}
