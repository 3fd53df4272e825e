// The dialog templates as the user sees them, and the small rules beside them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <ostream>
#include <set>

#include "platform/Profile.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CAboutDlg.h"
#include "ui/CConvertDlg.h"
#include "ui/DialogTemplate.h"
#include "ui/IconPosition.h"
#include "ui/OpenFileDialog.h"
#include "ui/Resources.h"

namespace {

struct ControlCase {
    const char* kind;  // "label", "edit", "button", "group", "hidden"
    const char* text;
    int x, y, cx, cy;
};

// The main dialog's controls in template (and tab) order, in dialog units.
const ControlCase kMainControls[] = {
    {"label", "Source:  Dovrix / Halvetta database (am_pub.mdb)", 7, 7, 194, 8},
    {"edit", "", 7, 16, 240, 14},
    {"button", "...", 252, 16, 16, 14},
    {"label", "Destination:  Scrivane database (*.mdb)", 7, 34, 176, 8},
    {"edit", "", 7, 43, 240, 14},
    {"button", "...", 252, 43, 16, 14},
    {"hidden", "", 7, 66, 22, 15},
    {"button", "&Start", 228, 68, 40, 14},
    {"group", "NOTICE:", 7, 84, 261, 60},
    {"label",
     "The factory default location for the Dovrix / Halvetta main database is:\n"
     "C:\\Program Files\\Veltrane\\Data\\Main\\am_pub.mdb\n\n"
     "The factory default filename for Scrivane is:\n"
     "C:\\Program Files\\Veltrane\\Scrivane\\Scrivane.mdb",
     20, 96, 245, 44},
};

QString ShownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
    return {};
}

class TemplateTest : public UiTest {
protected:
    Profile profile{"Veltrane", "Tallowmere"};
    FakeMessages messages;
    FakeFileDialog files;
};

TEST_F(TemplateTest, TheMainDialogShowsEveryControlWhereTheTemplatePutsIt) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    const QSize units = DialogBaseUnits(dlg.font());
    ASSERT_EQ(dlg.Controls().baseUnits, units);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Tallowmere"));
    EXPECT_EQ(dlg.size(), QSize(MulDiv(275, units.width(), 4), MulDiv(151, units.height(), 8)));

    const auto& controls = dlg.Controls().inOrder;
    ASSERT_EQ(controls.size(), std::size(kMainControls));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlCase& c = kMainControls[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " " << c.kind);
        QWidget* w = controls[i];
        EXPECT_EQ(w->geometry(), MapDialogRect(QRect(c.x, c.y, c.cx, c.cy), units));
        const std::string kind = c.kind;
        if (kind == "label") {
            EXPECT_NE(qobject_cast<QLabel*>(w), nullptr);
        }
        if (kind == "edit") {
            auto* edit = qobject_cast<QLineEdit*>(w);
            ASSERT_NE(edit, nullptr);
            EXPECT_TRUE(edit->isReadOnly());
        }
        if (kind == "button") {
            auto* button = qobject_cast<QPushButton*>(w);
            ASSERT_NE(button, nullptr);
            EXPECT_FALSE(button->isDefault());
        }
        if (kind == "group") {
            EXPECT_NE(qobject_cast<QGroupBox*>(w), nullptr);
        }
        EXPECT_EQ(w->isHidden(), kind == "hidden");
        if (kind != "edit") {
            EXPECT_EQ(ShownText(w).toStdString(), c.text);
        }
    }
    EXPECT_EQ(dlg.GetDlgItem(IDC_RICHTEXT), controls[6]);
}

TEST_F(TemplateTest, TheNoticeKeepsItsSeparatorsInTheTemplate) {
    const DialogTemplate* t = FindDialogTemplate(IDD_CONVERT_DIALOG);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->items.back().text,
              "The factory default location for the Dovrix / Halvetta main database is:\n"
              "C:\\Program Files\\Veltrane\\Data\\Main\\am_pub.mdb\r\n\n"
              "The factory default filename for Scrivane is:\n"
              "C:\\Program Files\\Veltrane\\Scrivane\\Scrivane.mdb");
    EXPECT_EQ(t->style, 0x90CA00C0u);  // with a minimise box
    EXPECT_EQ(t->exStyle, 0x00040000u);
    EXPECT_EQ(t->faceName, "MS Sans Serif");
    EXPECT_EQ(t->pointSize, 8);
    const std::uint32_t styles[] = {0x50020000, 0x50810880, 0x50010000, 0x50020000, 0x50810880,
                                    0x50010000, 0x40010000, 0x50010000, 0x50000007, 0x50020000};
    const int ids[] = {-1, 1000, 1002, -1, 1001, 1003, 1005, 1004, -1, -1};
    ASSERT_EQ(t->items.size(), std::size(styles));
    for (std::size_t i = 0; i < t->items.size(); ++i) {
        EXPECT_EQ(t->items[i].style, styles[i]) << i;
        EXPECT_EQ(t->items[i].id, ids[i]) << i;
    }
    const DialogTemplate* about = FindDialogTemplate(IDD_ABOUTBOX);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->style, 0x80C800C0u);
    EXPECT_EQ(QSize(about->cx, about->cy), QSize(213, 55));
    const std::uint32_t aboutStyles[] = {0x50000003, 0x50020080, 0x50020000, 0x50030001};
    ASSERT_EQ(about->items.size(), std::size(aboutStyles));
    for (std::size_t i = 0; i < about->items.size(); ++i) {
        EXPECT_EQ(about->items[i].style, aboutStyles[i]) << i;
    }
}

TEST_F(TemplateTest, TabOrderFollowsTheTemplateOverTheTabStops) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    const int expected[] = {IDC_SOURCE, IDC_BROWSE_SOURCE, IDC_DESTINATION, IDC_BROWSE_DESTINATION,
                            IDC_START,  IDC_SOURCE};
    QWidget* at = dlg.GetDlgItem(expected[0]);
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus || at->isHidden()) at = at->nextInFocusChain();
        EXPECT_EQ(at, dlg.GetDlgItem(expected[i])) << i;
    }
}

TEST(DialogUnitsTest, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(7, 6, 4), 11);  // 10.5
    EXPECT_EQ(MulDiv(-7, 6, 4), -11);
    EXPECT_EQ(MulDiv(5, 6, 4), 8);  // 7.5
    EXPECT_EQ(MulDiv(16, 13, 8), 26);
    EXPECT_EQ(MulDiv(3, 13, 8), 5);  // 4.875
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MapDialogRect(QRect(7, 16, 240, 14), QSize(6, 13)), QRect(11, 26, 360, 23));
}

struct IconCase {
    int client;
    int offset;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IconCase& c, std::ostream* out) { *out << "client width " << c.client; }

class IconPositionTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconPositionTest, CentresTheIconTruncatingTowardZero) {
    EXPECT_EQ(CenteredIconOffset(GetParam().client, 32), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Widths, IconPositionTest,
                         ::testing::Values(IconCase{36, 2}, IconCase{35, 2}, IconCase{37, 3},
                                           IconCase{0, -15}));

struct FilterCase {
    const char* filter;
    QStringList expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.filter; }

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, BecomesQtNameFilters) {
    EXPECT_EQ(NameFiltersFromFilterString(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FilterTest,
    ::testing::Values(FilterCase{"Ambrell Databases (am_pub.mdb)|am_pub.mdb||",
                                 {QStringLiteral("Ambrell Databases (am_pub.mdb)")}},
                      FilterCase{"Scrivane Databases (*.mdb)|*.mdb||",
                                 {QStringLiteral("Scrivane Databases (*.mdb)")}},
                      FilterCase{"Text|*.txt;*.log|All files (*.*)|*.*||",
                                 {QStringLiteral("Text (*.txt *.log)"),
                                  QStringLiteral("All files (*.*) (*)")}},
                      FilterCase{"Old (x)|*.db||", {QStringLiteral("Old (x) (*.db)")}},
                      FilterCase{"SQLite databases (*.db *.sqlite)|*.db;*.sqlite|All files (*)|*||",
                                 {QStringLiteral("SQLite databases (*.db *.sqlite)"),
                                  QStringLiteral("All files (*)")}},
                      FilterCase{"", {}}));

// A UiTest: the file dialog keeps its own state in the (scratch) profile folder.
TEST_F(TemplateTest, QtFileDialogKeepsTheRequestsMeaning) {
    TempDir dir;
    OpenFileRequest request;
    request.defaultExtension = "mdb";
    request.fileName = dir.File("am_pub.mdb");
    request.flags = OFN_NOVALIDATE;
    request.filter = "Ambrell Databases (am_pub.mdb)|am_pub.mdb||";
    QFileDialog dialog;
    ConfigureFileDialog(dialog, request);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile);  // the file need not exist
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("mdb"));
    EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Ambrell Databases (am_pub.mdb)")});
    EXPECT_EQ(QDir::toNativeSeparators(dialog.directory().absolutePath()).toStdString(),
              dir.Path().string());
    request.flags = OFN_FILEMUSTEXIST;
    ConfigureFileDialog(dialog, request);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
}

TEST(ResourcesTest, StringsAndTheIconWithBothSizes) {
    EXPECT_EQ(LoadResourceString(IDS_ABOUTBOX), "&About Tallowmere...");
    EXPECT_EQ(LoadResourceString(IDS_REGISTRY_KEY), "Veltrane");
    EXPECT_EQ(LoadResourceString(57344), "");  // no application-title string
    const QList<QSize> sizes = LoadIconResource(IDR_MAINFRAME).availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(LoadIconResource(1).isNull());
}

#ifndef Q_OS_WIN
// The sizes desktops look for beyond the icon file's own are drawn at their size: smooth edges
// in more than the pixel art's 16 colours, not the 32-pixel art blown up.
TEST(ResourcesTest, TheLargerIconSizesAreDrawnNotBlownUp) {
    const QImage art(QStringLiteral(TALLOWMERE_BUILD_DIR "/app/icons/32x32.png"));
    ASSERT_FALSE(art.isNull());
    for (int size : {48, 64, 128}) {
        const QImage icon(QStringLiteral(TALLOWMERE_BUILD_DIR "/app/icons/%1x%1.png").arg(size));
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        const QImage blownUp =
            art.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        EXPECT_NE(icon.convertToFormat(QImage::Format_ARGB32),
                  blownUp.convertToFormat(QImage::Format_ARGB32))
            << size;
        std::set<QRgb> colours;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) colours.insert(icon.pixel(x, y));
        }
        EXPECT_GT(colours.size(), 16u) << size;
    }
}
#endif

}  // namespace
