#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <vector>

class QDialog;
class QWidget;

// Window and control styles with the platform's values, as the templates carry them.
namespace style {
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kBorder = 0x00800000;
inline constexpr std::uint32_t kSysMenu = 0x00080000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kMinimizeBox = 0x00020000;  // a window's; kGroup on a control
inline constexpr std::uint32_t kTabStop = 0x00010000;
inline constexpr std::uint32_t kModalFrame = 0x00000080;  // DS_MODALFRAME
inline constexpr std::uint32_t kSetFont = 0x00000040;     // DS_SETFONT
inline constexpr std::uint32_t kEditAutoHScroll = 0x0080;
inline constexpr std::uint32_t kEditReadOnly = 0x0800;
inline constexpr std::uint32_t kStaticTypeMask = 0x001F;
inline constexpr std::uint32_t kStaticIcon = 0x0003;
inline constexpr std::uint32_t kStaticNoPrefix = 0x0080;
inline constexpr std::uint32_t kButtonTypeMask = 0x000F;
inline constexpr std::uint32_t kPushButton = 0x0000;
inline constexpr std::uint32_t kDefPushButton = 0x0001;
inline constexpr std::uint32_t kGroupBox = 0x0007;
inline constexpr std::uint32_t kExAppWindow = 0x00040000;
}  // namespace style

inline constexpr int kUnaddressedControl = -1;

// One control of a dialog template; position and size in dialog units.
struct DialogItemTemplate {
    int id;
    std::string_view windowClass;  // "static", "edit", "button", or an ActiveX class identifier
    std::string_view text;         // "#128" in an icon static names icon resource 128
    std::uint32_t style;
    int x, y, cx, cy;
};

// A dialog template as the resource compiler lays it out, minus the binary encoding.
struct DialogTemplate {
    int id;
    bool extended;
    std::uint32_t style;
    std::uint32_t exStyle;
    std::uint32_t helpId;
    int x, y, cx, cy;
    std::string_view caption;
    std::string_view faceName;
    int pointSize;
    int weight;
    bool italic;
    int charSet;
    std::span<const DialogItemTemplate> items;
};

// The program's dialog templates (res/DialogTemplates.cpp); null for an unknown id.
const DialogTemplate* FindDialogTemplate(int id);

// The font a template names. Qt substitutes a face the system has; sizes follow its metrics.
QFont TemplateFont(const DialogTemplate& dialogTemplate);

// Horizontal and vertical dialog base units of a font, measured as the platform measures them:
// the average width of the 52 Latin letters, rounded, and the font's full height.
QSize DialogBaseUnits(const QFont& font);

// Dialog units to pixels: x * width / 4 and y * height / 8, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator);
QRect MapDialogRect(const QRect& dialogUnits, QSize baseUnits);

// Windows draws CR LF and a lone LF as line breaks; Qt only knows LF.
QString StaticTextForDisplay(std::string_view text);

// The controls made from a template: by id (addressed ones only) and all of them in order.
struct DialogControls {
    std::map<int, QWidget*> byId;
    std::vector<QWidget*> inOrder;
    QSize baseUnits;
};

// Builds the template's controls into the dialog and sizes it. Fails, making nothing, when the
// template holds a control of a class we cannot create.
bool CreateDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate,
                          DialogControls& controls);
