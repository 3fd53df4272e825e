#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QMessageBox>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

#include "convert/MessageLines.h"

namespace {

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// A box shown while the wait cursor is up still has to be answered with the ordinary pointer.
class ArrowCursorWhileShown {
public:
    ArrowCursorWhileShown() : m_active(QApplication::overrideCursor() != nullptr) {
        if (m_active) QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowCursorWhileShown() {
        if (m_active) QApplication::restoreOverrideCursor();
    }
    ArrowCursorWhileShown(const ArrowCursorWhileShown&) = delete;
    ArrowCursorWhileShown& operator=(const ArrowCursorWhileShown&) = delete;

private:
    bool m_active;
};

// The framework's details area is a fixed 100 pixels high and as wide as the buttons: a run's
// summary would sit behind scroll bars. Size it to its text, up to 20 lines and 600 pixels.
void FitDetailsToText(QMessageBox& box) {
    auto* edit = box.findChild<QTextEdit*>();
    if (edit == nullptr) return;
    edit->setLineWrapMode(QTextEdit::NoWrap);
    const QFontMetrics metrics(edit->font());
    const QStringList lines = edit->toPlainText().split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margins =
        2 * (edit->frameWidth() + static_cast<int>(edit->document()->documentMargin()));
    const int scrollBar = edit->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    constexpr int kMostLines = 20;
    const auto shownLines = static_cast<int>(std::min<qsizetype>(lines.size(), kMostLines));
    // The document's own height where it has been laid out; the styles differ in line spacing.
    const int laidOut =
        static_cast<int>(edit->document()->size().height()) + 2 * edit->frameWidth();
    const int height = std::max(shownLines * metrics.lineSpacing() + margins + 2,
                                lines.size() <= kMostLines ? laidOut + 2 : 0);
    // The width leaves room for a vertical scroll bar, which a longer text still needs.
    edit->setMinimumWidth(std::min(widest + margins + scrollBar + 2, 600));
    edit->setFixedHeight(height);
}

}  // namespace

unsigned AppMessageStyle(unsigned style) {
    if ((style & MB_ICONMASK) != 0) return style;
    return style | ((style & MB_TYPEMASK) == MB_YESNO ? MB_ICONQUESTION : MB_ICONEXCLAMATION);
}

int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   unsigned style, const std::string& details) {
    ArrowCursorWhileShown arrow;
    QMessageBox box(IconOf(style), QString::fromLocal8Bit(caption), QString::fromLocal8Bit(text),
                    QMessageBox::NoButton, owner);
    // The platform shows a carriage return, or CR LF, as one line break.
    box.setText(QString::fromLocal8Bit(MessageLines(text)));
    if (!details.empty()) {
        box.setDetailedText(QString::fromLocal8Bit(MessageLines(details)));
        FitDetailsToText(box);
    }
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDOK;
    }
}

int MessageBoxes::ShowOwnedMessage(const std::string& text, const std::string& caption,
                                   unsigned style) {
    return ShowOwnedMessageWithDetails(text, caption, style, {});
}

int MessageBoxes::ShowAppMessage(const std::string& text, unsigned style) {
    return ShowAppMessageWithDetails(text, style, {});
}

int MessageBoxes::ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                              unsigned style, const std::string& details) {
    return ShowMessageBox(m_owner, text, caption, style, details);
}

int MessageBoxes::ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                            const std::string& details) {
    QWidget* owner = QApplication::activeWindow();
    if (owner == nullptr) owner = m_owner;
    return ShowMessageBox(owner, text,
                          QCoreApplication::applicationName().toLocal8Bit().toStdString(),
                          AppMessageStyle(style), details);
}
