// The system-menu entry, the system command handler and the About box.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "platform/Profile.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CAboutDlg.h"
#include "ui/CConvertDlg.h"
#include "ui/SystemMenu.h"

namespace {

class SystemMenuTest : public UiTest {
protected:
    Profile profile{"Veltrane", "Tallowmere"};
    FakeMessages messages;
    FakeFileDialog files;
};

struct SysCommandCase {
    unsigned id;
    bool opensAbout;
};

class SysCommandTest : public SystemMenuTest,
                       public ::testing::WithParamInterface<SysCommandCase> {};

TEST_P(SysCommandTest, OnlyIdsThatMaskTo16OpenTheAboutBox) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    ModalAnswerer answerer("CAboutDlg");
    dlg.OnSysCommand(GetParam().id, 0);
    QCoreApplication::processEvents();
    if (GetParam().opensAbout) {
        EXPECT_EQ(answerer.captions, std::vector<std::string>{"About Tallowmere"});
    } else {
        EXPECT_TRUE(answerer.captions.empty());
    }
    EXPECT_TRUE(dlg.isVisible());
    dlg.OnCancel();
}

INSTANTIATE_TEST_SUITE_P(Ids, SysCommandTest,
                         ::testing::Values(SysCommandCase{15, false}, SysCommandCase{16, true},
                                           SysCommandCase{31, true}, SysCommandCase{32, false}),
                         [](const auto& info) { return "Id" + std::to_string(info.param.id); });

TEST_F(SystemMenuTest, CloseFromTheSystemMenuStillEndsTheDialog) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.OnSysCommand(SC_CLOSE, 0);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(SystemMenuTest, TheMenuEndsWithASeparatorAndTheAboutEntry) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    std::unique_ptr<QMenu> popup = dlg.CreateSystemMenuPopup();
    const QList<QAction*> actions = popup->actions();
    ASSERT_GE(actions.size(), 3);
    const QAction* about = actions.back();
    EXPECT_TRUE(actions.at(actions.size() - 2)->isSeparator());
    EXPECT_EQ(about->text().toStdString(), "&About Tallowmere...");
    EXPECT_EQ(about->data().toUInt(), 16u);
    // Close is still offered beside it.
    bool hasClose = false;
    for (const QAction* action : actions) hasClose |= action->data().toUInt() == SC_CLOSE;
    EXPECT_TRUE(hasClose);

    ModalAnswerer answerer("CAboutDlg");
    dlg.OnSysCommand(about->data().toUInt(), 0);
    EXPECT_EQ(answerer.captions.size(), 1u);
}

TEST(AboutEntryTest, AnEmptyStringAddsNothingNotEvenTheSeparator) {
    SystemMenu menu = SystemMenu::Standard();
    const std::size_t before = menu.Items().size();
    AddAboutEntry(menu, "");
    EXPECT_EQ(menu.Items().size(), before);
    AddAboutEntry(menu, "&About");
    ASSERT_EQ(menu.Items().size(), before + 2);
    EXPECT_TRUE(menu.Items()[before].separator);
    EXPECT_EQ(menu.Items()[before + 1].id, 16u);
}

struct AboutEndCase {
    const char* how;
    std::function<void(QDialog&)> action;
    int result;
};

class AboutEndTest : public SystemMenuTest, public ::testing::WithParamInterface<AboutEndCase> {};

TEST_P(AboutEndTest, TheAboutBoxEndsByOkEscapeOrClose) {
    CAboutDlg about;
    ModalAnswerer answerer("CAboutDlg", GetParam().action);
    EXPECT_EQ(about.DoModal(), GetParam().result);
    EXPECT_EQ(answerer.captions.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AboutEndTest,
    ::testing::Values(
        AboutEndCase{
            "Ok",
            [](QDialog& d) { d.findChild<QPushButton*>(QStringLiteral("control1"))->click(); },
            IDOK},
        AboutEndCase{"Enter", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, IDOK},
        AboutEndCase{"Escape", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, 2},
        AboutEndCase{"Close", [](QDialog& d) { d.close(); }, 2}),
    [](const auto& info) { return std::string(info.param.how); });

TEST_F(SystemMenuTest, TheAboutBoxShowsTheIconNameAndNotice) {
    CAboutDlg about;
    ASSERT_TRUE(about.Create());
    const auto& controls = about.Controls().inOrder;
    ASSERT_EQ(controls.size(), 4u);
    const auto* icon = qobject_cast<QLabel*>(controls[0]);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(qobject_cast<QLabel*>(controls[1])->text(), QStringLiteral("Tallowmere Version 1.0"));
    EXPECT_FALSE(qobject_cast<QLabel*>(controls[2])->text().isEmpty());
    auto* ok = qobject_cast<QPushButton*>(about.GetDlgItem(IDOK));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tallowmere"));
}

}  // namespace
