#include <windows.h>

#include "tests/ui/NativeMenuProbe.h"

std::vector<NativeMenuEntry> NativeSystemMenuEntries(std::uintptr_t window) {
    std::vector<NativeMenuEntry> entries;
    const HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window), FALSE);
    if (menu == nullptr) return entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        NativeMenuEntry entry;
        entry.separator = (info.fType & MFT_SEPARATOR) != 0;
        entry.id = info.wID;
        char text[128] = {};
        if (!entry.separator) {
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        }
        entry.text = text;
        entries.push_back(entry);
    }
    return entries;
}

void SendNativeSysCommand(std::uintptr_t window, unsigned id) {
    SendMessageA(reinterpret_cast<HWND>(window), WM_SYSCOMMAND, id, 0);
}
