// Windows: the About entry in the dialog's real system menu, and the command it sends.
#include <gtest/gtest.h>
#include <windows.h>

#include <QCoreApplication>

#include "platform/Profile.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CConvertDlg.h"

namespace {

class NativeSystemMenu : public UiTest {
protected:
    Profile profile{"Veltrane", "Tallowmere"};
    FakeMessages messages;
    FakeFileDialog files;
};

TEST_F(NativeSystemMenu, EndsWithASeparatorAndTheAboutEntryWhichOpensTheAboutBox) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    const HWND window = reinterpret_cast<HWND>(dlg.winId());
    const HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 3);
    MENUITEMINFOA separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(count - 2), TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), 16u);
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Tallowmere...");

    // What choosing the entry sends the window: the About box opens (and is closed again).
    ModalAnswerer answerer("CAboutDlg");
    SendMessageA(window, WM_SYSCOMMAND, 16, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"About Tallowmere"});
    EXPECT_TRUE(dlg.isVisible());
    dlg.OnCancel();
}

}  // namespace
