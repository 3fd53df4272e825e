// The program's dialog templates, in dialog units, as the resource compiler would lay them out.
#include <array>

#include "ui/CRichText.h"
#include "ui/DialogTemplate.h"
#include "ui/Resources.h"

namespace {

using namespace style;

constexpr std::uint32_t kLabel = kChild | kVisible | kGroup;  // left-aligned static text
constexpr std::uint32_t kPathField =
    kChild | kVisible | kBorder | kTabStop | kEditReadOnly | kEditAutoHScroll;
constexpr std::uint32_t kButton = kChild | kVisible | kTabStop | kPushButton;

constexpr std::string_view kNotice =
    "The factory default location for the Dovrix / Halvetta main database is:\n"
    "C:\\Program Files\\Veltrane\\Data\\Main\\am_pub.mdb\r\n\n"
    "The factory default filename for Scrivane is:\n"
    "C:\\Program Files\\Veltrane\\Scrivane\\Scrivane.mdb";

constexpr std::array kConvertItems{
    DialogItemTemplate{-1, "static", "Source:  Dovrix / Halvetta database (am_pub.mdb)", kLabel, 7,
                       7, 194, 8},
    DialogItemTemplate{1000, "edit", "", kPathField, 7, 16, 240, 14},
    DialogItemTemplate{1002, "button", "...", kButton, 252, 16, 16, 14},
    DialogItemTemplate{-1, "static", "Destination:  Scrivane database (*.mdb)", kLabel, 7, 34, 176,
                       8},
    DialogItemTemplate{1001, "edit", "", kPathField, 7, 43, 240, 14},
    DialogItemTemplate{1003, "button", "...", kButton, 252, 43, 16, 14},
    DialogItemTemplate{1005, CRichText::kClassId, "", kChild | kTabStop, 7, 66, 22, 15},
    DialogItemTemplate{1004, "button", "&Start", kButton, 228, 68, 40, 14},
    DialogItemTemplate{-1, "button", "NOTICE:", kChild | kVisible | kGroupBox, 7, 84, 261, 60},
    DialogItemTemplate{-1, "static", kNotice, kLabel, 20, 96, 245, 44},
};

constexpr std::array kAboutItems{
    DialogItemTemplate{-1, "static", "#128", kChild | kVisible | kStaticIcon, 11, 17, 21, 20},
    DialogItemTemplate{-1, "static", "Tallowmere Version 1.0", kLabel | kStaticNoPrefix, 40, 10,
                       122, 8},
    DialogItemTemplate{-1, "static", "Copyright (C) Veltrane", kLabel, 40, 25, 119, 8},
    DialogItemTemplate{1, "button", "OK", kChild | kVisible | kGroup | kTabStop | kDefPushButton,
                       166, 7, 40, 14},
};

constexpr DialogTemplate kConvertDialog{
    .id = IDD_CONVERT_DIALOG,
    .extended = true,
    // The application's main window: it can be minimised, also while a run lasts.
    .style = kPopup | kVisible | kCaption | kSysMenu | kMinimizeBox | kModalFrame | kSetFont,
    .exStyle = kExAppWindow,
    .helpId = 0,
    .x = 0,
    .y = 0,
    .cx = 275,
    .cy = 151,
    .caption = "Tallowmere",
    .faceName = "MS Sans Serif",
    .pointSize = 8,
    .weight = 0,
    .italic = false,
    .charSet = 1,
    .items = kConvertItems,
};

constexpr DialogTemplate kAboutDialog{
    .id = IDD_ABOUTBOX,
    .extended = false,
    .style = kPopup | kCaption | kSysMenu | kModalFrame | kSetFont,
    .exStyle = 0,
    .helpId = 0,
    .x = 0,
    .y = 0,
    .cx = 213,
    .cy = 55,
    .caption = "About Tallowmere",
    .faceName = "MS Sans Serif",
    .pointSize = 8,
    .weight = 0,
    .italic = false,
    .charSet = 1,
    .items = kAboutItems,
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    switch (id) {
        case IDD_ABOUTBOX:
            return &kAboutDialog;
        case IDD_CONVERT_DIALOG:
            return &kConvertDialog;
        default:
            return nullptr;
    }
}
