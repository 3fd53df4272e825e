// The main window as an application's window: it can be minimised, also while a run lasts, and
// its progress box says which pass of five runs and counts rows as the user's locale writes them.
#include <gtest/gtest.h>

#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "platform/Profile.h"
#include "tests/support/TestDatabases.h"
#include "tests/ui/UiTestSupport.h"
#include "tests/ui/WindowRunTest.h"
#include "ui/CConvertDlg.h"
#include "ui/ProgressTexts.h"
#include "ui/RunProgressDialog.h"

namespace {

using std::chrono::milliseconds;

class RunWindowTest : public WindowRunTest {};

// What the window asks of the window manager: a normal window with a minimise box, no maximise
// box; the system menu offers Minimize too.
TEST_F(RunWindowTest, TheWindowOffersToBeMinimised) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(dlg.windowType(), Qt::Window);
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(dlg.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    dlg.show();
    dlg.OnSysCommand(SC_MINIMIZE, 0);
    EXPECT_TRUE(dlg.isMinimized());
    dlg.OnCancel();
}

// While a run lasts the window manager can still minimise the window (its request is no input
// the run holds back), the progress box counts on, and the run ends as usual.
TEST_F(RunWindowTest, ARunGoesOnInAMinimisedWindowAndTheBoxNumbersThePass) {
    AddNumberedGlossary(m_source, 1500);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.KeepAlive().SetTimings(milliseconds(0), milliseconds(0));
    bool minimisedDuringRun = false;
    std::set<std::string> passes;
    QString rows;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!dlg.KeepAlive().Active()) return;
        if (!dlg.isMinimized()) dlg.windowHandle()->showMinimized();
        minimisedDuringRun = minimisedDuringRun || dlg.isMinimized();
        if (RunProgressDialog* box = dlg.KeepAlive().Dialog()) {
            passes.insert(box->PassText().toStdString());
            if (box->PassText().startsWith(QStringLiteral("Pass 2 "))) rows = box->RowsText();
        }
    });
    during.start(0);
    Button(dlg, IDC_START)->click();
    QLocale::setDefault(QLocale::system());

    EXPECT_TRUE(minimisedDuringRun);
    EXPECT_TRUE(dlg.isMinimized());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Conversion complete!");
    EXPECT_TRUE(passes.contains("Pass 1 of 5: Copying categories")) << passes.size();
    EXPECT_TRUE(passes.contains("Pass 2 of 5: Copying phrases"));
    EXPECT_TRUE(rows.endsWith(QStringLiteral(" of 1,500 rows"))) << rows.toStdString();
    dlg.OnCancel();
}

struct RowsCase {
    QLocale::Language language;
    QLocale::Territory territory;
    const char* rows;
};

class ProgressRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(ProgressRows, GroupDigitsAsTheLocaleDoes) {
    const QLocale locale(GetParam().language, GetParam().territory);
    EXPECT_EQ(RowsLine({ConversionPass::ShortenPhraseCategories, 58801, 100000}, locale),
              QString::fromUtf8(GetParam().rows));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ProgressRows,
    ::testing::Values(RowsCase{QLocale::English, QLocale::UnitedStates, "58,801 of 100,000 rows"},
                      RowsCase{QLocale::German, QLocale::Germany, "58.801 of 100.000 rows"},
                      RowsCase{QLocale::English, QLocale::India, "58,801 of 1,00,000 rows"},
                      RowsCase{QLocale::C, QLocale::AnyTerritory, "58801 of 100000 rows"}),
    [](const auto& info) {
        return QLocale(info.param.language, info.param.territory).name().remove(u'_').toStdString();
    });

}  // namespace
