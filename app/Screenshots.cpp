// Makes the screenshots in docs/ from the real windows: the main dialog as a first launch shows
// it, the About box opened from the system-menu entry, and the message after a real conversion
// of two small demo databases. Run it through scripts/screenshots, which gives it a scratch
// configuration folder so that no one's profile is touched.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QMessageBox>
#include <QMetaObject>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/Profile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"
#include "ui/CAboutDlg.h"
#include "ui/CConvertDlg.h"
#include "ui/Resources.h"
#include "ui/RunProgressDialog.h"

namespace {

// Offscreen and on a bare X server no window manager draws a caption, so the picture gets a
// plain caption strip with the window's own title above its contents.
QImage WithCaption(QWidget& window) {
    const QImage contents = window.grab().toImage();
    const QFontMetrics metrics(window.font());
    const int bar = metrics.height() + 8;
    QImage framed(contents.width() + 2, contents.height() + bar + 1, QImage::Format_RGB32);
    framed.fill(QColor(0, 0, 128));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    QFont bold = window.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(6, 0, framed.width() - 12, bar), Qt::AlignVCenter | Qt::AlignLeft,
                     window.windowTitle());
    painter.drawImage(1, bar, contents);
    return framed;
}

// Saves a picture of each window of the given class when it opens, then closes it.
class ShootOnShow : public QObject {
public:
    ShootOnShow(const char* className, QString file, std::function<void(QDialog&)> close,
                std::function<void(QDialog&)> prepare = {})
        : m_className(className),
          m_file(std::move(file)),
          m_close(std::move(close)),
          m_prepare(std::move(prepare)) {
        qApp->installEventFilter(this);
    }
    ~ShootOnShow() override { qApp->removeEventFilter(this); }

    bool saved = false;
    QString text;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->inherits(m_className)) {
            auto* dialog = qobject_cast<QDialog*>(watched);
            if (dialog != nullptr && dialog->isWindow()) {
                QMetaObject::invokeMethod(
                    dialog,
                    [this, dialog] {
                        if (auto* box = qobject_cast<QMessageBox*>(dialog)) text = box->text();
                        if (m_prepare) m_prepare(*dialog);
                        saved = WithCaption(*dialog).save(m_file);
                        m_close(*dialog);
                    },
                    Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const char* m_className;
    QString m_file;
    std::function<void(QDialog&)> m_close;
    std::function<void(QDialog&)> m_prepare;
};

// Unfolds a message box's details, as a user pressing "Show Details..." would.
void ShowDetails(QDialog& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (box == nullptr) return;
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();
    }
    dialog.adjustSize();
    QCoreApplication::processEvents();
}

// A glossary big enough that the progress box has something to show.
void AddManyPhrases(const std::string& source, int phrases) {
    TestDb db(source);
    db.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
            std::to_string(phrases) +
            ") INSERT INTO tblPhraseItem SELECT printf('X-%05d', i), 'phrase', "
            "'{\\rtf1\\ansi Phrase ' || i || '\\par}' FROM n");
    db.Exec(
        "INSERT INTO tblPhraseRelation SELECT ItemID, 'Radiology {R-200}' FROM tblPhraseItem "
        "WHERE ItemID LIKE 'X-%'");
}

void MakeDemoDatabases(const std::string& source, const std::string& destination) {
    CreateSourceDb(source);
    TestDb db(source);
    AddSourceCategory(db, "Cardiology {C-100}", "Cardiology");
    AddSourceCategory(db, "Radiology {R-200}", "Radiology");
    AddSourceItem(db, "P-1", "bp", "{\\rtf1\\ansi Blood pressure \\b normal\\b0 .\\par}",
                  {"Cardiology {C-100}"});
    AddSourceItem(db, "P-2", "cxr", "Chest X-ray: no acute findings.", {"Radiology {R-200}"});
    CreateDestinationDb(destination);
}

int Fail(const char* what) {
    std::fprintf(stderr, "tallowmere-screenshots: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return Fail("usage: tallowmere-screenshots OUTPUT-FOLDER");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config == nullptr || *config == '\0') {
        return Fail("set XDG_CONFIG_HOME to a scratch folder (scripts/screenshots does)");
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tallowmere"));
    // The pictures show numbers as an English-speaking user sees them, whatever this machine's
    // locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromLocal8Bit(config));
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const auto reject = [](QDialog& d) { d.reject(); };
    const auto accept = [](QDialog& d) { d.accept(); };

    Profile profile(LoadResourceString(IDS_REGISTRY_KEY), "Tallowmere");
    {
        CConvertDlg dlg(profile);
        if (!dlg.Initialize()) return Fail("the main dialog could not be made");
        dlg.show();
        QCoreApplication::processEvents();
        if (!WithCaption(dlg).save(out.filePath(QStringLiteral("main-dialog.png")))) {
            return Fail("could not save main-dialog.png");
        }
        ShootOnShow about("CAboutDlg", out.filePath(QStringLiteral("about-box.png")), reject);
        dlg.OnSysCommand(IDM_ABOUTBOX, 0);
        if (!about.saved) return Fail("the About box did not open");
        dlg.reject();
    }

    // A real conversion of two demo databases, with the workgroup lookup pointing at a demo
    // workgroup file.
    TempDir data;
    const std::string source = data.File("am_pub.mdb");
    const std::string destination = data.File("Scrivane.mdb");
    MakeDemoDatabases(source, destination);
    WriteFileBytes(data.File("VELTRANE.MDW"), "");
    QSettings lookup(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("VB and VBA Program Settings"), QStringLiteral("zrb.ini"));
    lookup.setValue(QStringLiteral("OptionsDataFile/VeltraneSystemPath"),
                    QString::fromStdString(data.Path().string()));
    lookup.sync();
    profile.WriteProfileString(kPathsSection, kSourceEntry, source);
    profile.WriteProfileString(kPathsSection, kDestinationEntry, destination);

    CConvertDlg dlg(profile);
    if (!dlg.Initialize()) return Fail("the main dialog could not be made");
    dlg.show();
    QCoreApplication::processEvents();
    {
        ShootOnShow done("QMessageBox", out.filePath(QStringLiteral("completion-message.png")),
                         accept);
        qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_START))->click();
        if (!done.saved) return Fail("no message box after Start");
        if (done.text != QStringLiteral("Conversion complete!")) {
            std::fprintf(stderr, "tallowmere-screenshots: Start said: %s\n",
                         done.text.toLocal8Bit().constData());
            return 1;
        }
    }

    // A longer run: its progress box while phrases are copied, then the completion box with
    // the summary unfolded.
    AddManyPhrases(source, 20000);
    bool progressSaved = false;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        RunProgressDialog* progress = dlg.KeepAlive().Dialog();
        if (progressSaved || progress == nullptr ||
            progress->PassText() != QStringLiteral("Pass 2 of 5: Copying phrases") ||
            QLocale().toInt(progress->RowsText().section(u' ', 0, 0)) < 8000) {
            return;
        }
        progressSaved =
            WithCaption(*progress).save(out.filePath(QStringLiteral("progress-dialog.png")));
    });
    during.start(0);
    dlg.KeepAlive().SetTimings(std::chrono::milliseconds(0), std::chrono::milliseconds(20));
    ShootOnShow summary("QMessageBox", out.filePath(QStringLiteral("completion-details.png")),
                        accept, ShowDetails);
    qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_START))->click();
    dlg.reject();
    if (!progressSaved) return Fail("the progress box did not show while phrases were copied");
    if (!summary.saved) return Fail("no message box after the longer run");
    return 0;
}
