// Windows: the About entry in the dialog's real system menu, and the command it sends.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/Profile.h"
#include "tests/ui/NativeMenuProbe.h"
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
    const auto window = static_cast<std::uintptr_t>(dlg.winId());
    const std::vector<NativeMenuEntry> entries = NativeSystemMenuEntries(window);
    ASSERT_GE(entries.size(), 3u);
    EXPECT_TRUE(entries[entries.size() - 2].separator);
    EXPECT_FALSE(entries.back().separator);
    EXPECT_EQ(entries.back().id, 16u);
    EXPECT_EQ(entries.back().text, "&About Tallowmere...");

    // What choosing the entry sends the window: the About box opens (and is closed again).
    ModalAnswerer answerer("CAboutDlg");
    SendNativeSysCommand(window, 16);
    QCoreApplication::processEvents();
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"About Tallowmere"});
    EXPECT_TRUE(dlg.isVisible());
    dlg.OnCancel();
}

}  // namespace
