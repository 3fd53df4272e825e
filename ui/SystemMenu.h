#pragma once

#include <string>
#include <vector>

// System command ids with the platform's values.
inline constexpr unsigned SC_SIZE = 0xF000;
inline constexpr unsigned SC_MOVE = 0xF010;
inline constexpr unsigned SC_MINIMIZE = 0xF020;
inline constexpr unsigned SC_CLOSE = 0xF060;
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// The items of a window's system menu. On Windows the real menu is used; elsewhere the window
// manager owns that menu, so the dialog shows this one as its context menu.
struct SystemMenuItem {
    bool separator = false;
    unsigned id = 0;
    std::string text;
};

class SystemMenu {
public:
    // The items the main window's system menu starts with: it can be moved, minimised, closed.
    static SystemMenu Standard();

    void AppendSeparator() { m_items.push_back({true, 0, {}}); }
    void AppendString(unsigned id, std::string text) {
        m_items.push_back({false, id, std::move(text)});
    }
    const std::vector<SystemMenuItem>& Items() const { return m_items; }

private:
    std::vector<SystemMenuItem> m_items;
};

// Adds the About entry: a separator and the item, or nothing when the text is empty.
void AddAboutEntry(SystemMenu& menu, const std::string& text);
