#include "ui/SystemMenu.h"

SystemMenu SystemMenu::Standard() {
    SystemMenu menu;
    menu.AppendString(SC_MOVE, "&Move");
    menu.AppendString(SC_MINIMIZE, "Mi&nimize");
    menu.AppendSeparator();
    menu.AppendString(SC_CLOSE, "&Close\tAlt+F4");
    return menu;
}

void AddAboutEntry(SystemMenu& menu, const std::string& text) {
    if (text.empty()) return;
    menu.AppendSeparator();
    menu.AppendString(IDM_ABOUTBOX, text);
}
