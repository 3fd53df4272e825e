// A long run in the window: it stays painted, holds back input, shows its progress box, can be
// cancelled; the closing boxes carry what the run changed; the controls are described for
// assistive technology and the keyboard reaches the dialog's menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/Profile.h"
#include "tests/support/TestDatabases.h"
#include "tests/ui/UiTestSupport.h"
#include "tests/ui/WindowRunTest.h"
#include "ui/CConvertDlg.h"
#include "ui/MessageBoxes.h"
#include "ui/OpenFileDialog.h"
#include "ui/Resources.h"
#include "ui/RunProgressDialog.h"

namespace {

using std::chrono::milliseconds;

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class LongRunTest : public WindowRunTest {};

TEST_F(LongRunTest, TheWindowRepaintsTakesNoInputAndCancelKeepsTheRowsWritten) {
    constexpr int kPhrases = 3000;
    AddNumberedGlossary(m_source, kPhrases);
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.KeepAlive().SetTimings(milliseconds(0), milliseconds(0));
    PaintCounter painted(&dlg);

    // While the run lasts: ask for a repaint, try the browse button and the close box, and
    // cancel once the progress box shows a hundred phrases copied.
    QString passSeen, rowsSeen;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!dlg.KeepAlive().Active()) return;
        dlg.update();
        QTest::mouseClick(Button(dlg, IDC_BROWSE_SOURCE), Qt::LeftButton);
        dlg.close();
        RunProgressDialog* progress = dlg.KeepAlive().Dialog();
        if (progress == nullptr ||
            progress->PassText() != QStringLiteral("Pass 2 of 5: Copying phrases")) {
            return;
        }
        if (QLocale().toInt(progress->RowsText().section(u' ', 0, 0)) < 100) return;
        passSeen = progress->PassText();
        rowsSeen = progress->RowsText();
        EXPECT_TRUE(progress->isVisible());
        EXPECT_TRUE(progress->isModal());
        progress->CancelButton()->click();
        during.stop();
    });
    during.start(0);
    painted.paints = 0;
    Button(dlg, IDC_START)->click();

    EXPECT_EQ(passSeen, QStringLiteral("Pass 2 of 5: Copying phrases"));
    EXPECT_TRUE(rowsSeen.endsWith(" of " + QLocale().toString(3000) + " rows"))
        << rowsSeen.toStdString();
    EXPECT_GT(painted.paints, 0);
    EXPECT_TRUE(files.requests.empty());  // the browse clicks were held back
    EXPECT_TRUE(dlg.isVisible());         // and so was the close box
    EXPECT_EQ(dlg.KeepAlive().Dialog(), nullptr);
    EXPECT_FALSE(dlg.KeepAlive().Active());

    ASSERT_EQ(messages.shown.size(), 1u);
    const ShownMessage& m = messages.shown[0];
    EXPECT_FALSE(m.owned);
    EXPECT_EQ(m.text.rfind("The conversion was cancelled while copying phrases", 0), 0u) << m.text;
    EXPECT_NE(m.details.find("Stopped while copying phrases"), std::string::npos) << m.details;
    const int64_t kept = TestDb(m_destination).Count("tblPhrase");
    EXPECT_GE(kept, 100);
    EXPECT_LT(kept, kPhrases);
    EXPECT_NE(m.text.find(" and " + std::to_string(kept) + " phrases copied"), std::string::npos)
        << m.text;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    dlg.OnCancel();
}

// Once the copies are done the box says the last passes cannot be stopped: Cancel is disabled,
// Escape and the close box do nothing, and the run ends as a completed run, every phrase plain.
TEST_F(LongRunTest, TheLastPassesCannotBeCancelledAndTheRunCompletes) {
    constexpr int kPhrases = 2000;
    AddNumberedGlossary(m_source, kPhrases);
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.KeepAlive().SetTimings(milliseconds(0), milliseconds(0));

    bool copyingCancellable = false, triedInLastPasses = false;
    QString note;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        RunProgressDialog* progress = dlg.KeepAlive().Dialog();
        if (progress == nullptr) return;
        if (progress->PassText().contains(QStringLiteral("Copying"))) {
            copyingCancellable = progress->CancelButton()->isEnabled() && progress->NoteText().isEmpty();
            return;
        }
        if (!progress->PassText().contains(QStringLiteral("Shortening phrase categories"))) return;
        note = progress->NoteText();
        EXPECT_FALSE(progress->CancelButton()->isEnabled());
        progress->CancelButton()->click();
        QTest::keyClick(progress, Qt::Key_Escape);
        progress->close();
        EXPECT_FALSE(progress->CancelRequested());
        triedInLastPasses = true;
        during.stop();
    });
    during.start(0);
    Button(dlg, IDC_START)->click();

    EXPECT_TRUE(copyingCancellable);
    ASSERT_TRUE(triedInLastPasses);
    EXPECT_EQ(note, QStringLiteral("The last passes are finishing and cannot be stopped."));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Conversion complete!");
    EXPECT_EQ(TestDb(m_destination)
                  .Rows("SELECT count(*) FROM tblPhrase WHERE Data NOT LIKE '{%' AND Data LIKE "
                        "'%9|' AND CategoryID = '{1}'"),
              std::vector<std::string>{std::to_string(kPhrases)});
    dlg.OnCancel();
}

TEST_F(LongRunTest, AShortRunShowsNoProgressBoxAndEndsWithTheSummary) {
    AddNumberedGlossary(m_source, 3);
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    ModalAnswerer progressBoxes("RunProgressDialog");
    QTimer during;
    bool progressShown = false;
    QObject::connect(&during, &QTimer::timeout,
                     [&] { progressShown = progressShown || dlg.KeepAlive().Dialog() != nullptr; });
    during.start(0);

    Button(dlg, IDC_START)->click();

    EXPECT_FALSE(progressShown);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Conversion complete!");
    EXPECT_EQ(messages.shown[0].style, MB_OK);  // no icon
    EXPECT_NE(messages.shown[0].details.find("Phrases added: 3\n"), std::string::npos)
        << messages.shown[0].details;
    EXPECT_NE(messages.shown[0].details.find("Rows in tblPhrase afterwards: 3\n"),
              std::string::npos);
    dlg.OnCancel();
}

TEST_F(LongRunTest, LabelsNameTheirFieldsAndTheBrowseButtonsSayWhatTheyDo) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    struct Field {
        int id;
        int browse;
        const char* label;
        const char* browseName;
        std::string path;
    };
    for (const Field& f :
         {Field{IDC_SOURCE, IDC_BROWSE_SOURCE, "Source:  Dovrix / Halvetta database (am_pub.mdb)",
                "Browse for the source database", m_source},
          Field{IDC_DESTINATION, IDC_BROWSE_DESTINATION, "Destination:  Scrivane database (*.mdb)",
                "Browse for the destination database", m_destination}}) {
        auto* field = qobject_cast<QLineEdit*>(dlg.GetDlgItem(f.id));
        ASSERT_NE(field, nullptr);
        QLabel* label = nullptr;
        for (QWidget* control : dlg.Controls().inOrder) {
            auto* candidate = qobject_cast<QLabel*>(control);
            if (candidate != nullptr && candidate->buddy() == field) label = candidate;
        }
        ASSERT_NE(label, nullptr) << f.label;
        EXPECT_EQ(label->text().toStdString(), f.label);
        EXPECT_EQ(field->accessibleName().toStdString(), f.label);
        EXPECT_EQ(field->toolTip().toStdString(), f.path);
        EXPECT_EQ(field->palette().color(QPalette::Base), field->palette().color(QPalette::Window));
        QWidget* browse = dlg.GetDlgItem(f.browse);
        EXPECT_EQ(browse->accessibleName().toStdString(), f.browseName);
        EXPECT_EQ(browse->toolTip().toStdString(), f.browseName);
    }
    dlg.OnCancel();
}

#ifndef Q_OS_WIN
TEST_F(LongRunTest, ShiftF10AndTheMenuKeyOpenTheMenuWithAbout) {
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QWidget* field = dlg.GetDlgItem(IDC_SOURCE);
    // Shift+F10 as typed, and the Menu key as the platform delivers it: a keyboard request for
    // the focused field's context menu.
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Shift+F10", [&] { QTest::keyClick(field, Qt::Key_F10, Qt::ShiftModifier); }},
        {"Menu key",
         [&] {
             QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
             QApplication::sendEvent(field, &request);
         }},
    };
    for (const auto& [name, press] : ways) {
        std::vector<unsigned> ids;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions()) ids.push_back(action->data().toUInt());
                menu->close();
            }
        });
        press();
        EXPECT_NE(std::find(ids.begin(), ids.end(), IDM_ABOUTBOX), ids.end()) << name;
    }
    dlg.OnCancel();
}

TEST_F(LongRunTest, AWindowsDefaultPathOpensTheBrowserAtHomeWithItsFileName) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    OpenFileRequest request;
    request.fileName = "C:\\Program Files\\Veltrane\\Data\\Main\\am_pub.mdb";
    request.filter = "Ambrell Databases (am_pub.mdb)|am_pub.mdb||";
    ConfigureFileDialog(dialog, request);
    EXPECT_EQ(dialog.directory().absolutePath(), QDir::home().absolutePath());
    ASSERT_EQ(dialog.selectedFiles().size(), 1);
    EXPECT_EQ(dialog.selectedFiles().first(), QDir::home().filePath(QStringLiteral("am_pub.mdb")));
    EXPECT_EQ(FileNameOfDrivePath(QStringLiteral("/home/u/am_pub.mdb")), std::nullopt);
    EXPECT_EQ(FileNameOfDrivePath(QStringLiteral("d:/x/Scrivane.mdb")),
              QStringLiteral("Scrivane.mdb"));
}
#endif

// Boxes raised through the application object carry the framework's icons; boxes that name one
// keep it.
TEST(AppMessageStyle, GivesReportsTheFrameworksIcon) {
    EXPECT_EQ(AppMessageStyle(MB_OK), MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(AppMessageStyle(MB_OKCANCEL), MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(AppMessageStyle(MB_YESNO), MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(AppMessageStyle(MB_OK | MB_ICONINFORMATION), MB_OK | MB_ICONINFORMATION);
}

}  // namespace
