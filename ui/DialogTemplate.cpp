#include "ui/DialogTemplate.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QString>
#include <cstdlib>
#include <memory>

#include "ui/CRichText.h"
#include "ui/Resources.h"

QFont TemplateFont(const DialogTemplate& dialogTemplate) {
    QFont font(QString::fromLatin1(dialogTemplate.faceName.data(),
                                   static_cast<qsizetype>(dialogTemplate.faceName.size())));
    font.setPointSize(dialogTemplate.pointSize);
    font.setItalic(dialogTemplate.italic);
    // Weight 0 means "don't care": the face's normal weight.
    if (dialogTemplate.weight >= 700) font.setBold(true);
    return font;
}

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((letters / 26 + 1) / 2, metrics.height());
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude =
        (std::llabs(product) + half) / std::llabs(static_cast<long long>(denominator));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QRect MapDialogRect(const QRect& dialogUnits, QSize baseUnits) {
    const int left = MulDiv(dialogUnits.left(), baseUnits.width(), 4);
    const int top = MulDiv(dialogUnits.top(), baseUnits.height(), 8);
    const int width = MulDiv(dialogUnits.width(), baseUnits.width(), 4);
    const int height = MulDiv(dialogUnits.height(), baseUnits.height(), 8);
    return QRect(left, top, width, height);
}

QString StaticTextForDisplay(std::string_view text) {
    QString display = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    display.remove(u'\r');
    return display;
}

namespace {

QString TextOf(const DialogItemTemplate& item) {
    return QString::fromLocal8Bit(item.text.data(), static_cast<qsizetype>(item.text.size()));
}

std::unique_ptr<QWidget> MakeStatic(const DialogItemTemplate& item) {
    auto label = std::make_unique<QLabel>();
    if ((item.style & style::kStaticTypeMask) == style::kStaticIcon) {
        // An icon static shows its icon at the standard icon size, whatever the template says.
        const int iconId = item.text.starts_with("#") ? std::atoi(item.text.data() + 1) : 0;
        label->setPixmap(LoadIconResource(iconId).pixmap(32, 32));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(StaticTextForDisplay(item.text));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    // An access key in a label is only decoration here; SS_NOPREFIX shows "&" as it is.
    return label;
}

std::unique_ptr<QWidget> MakeEdit(const DialogItemTemplate& item) {
    auto edit = std::make_unique<QLineEdit>(TextOf(item));
    edit->setReadOnly((item.style & style::kEditReadOnly) != 0);
    if (edit->isReadOnly()) {
        // A read-only field shows the window's colour behind its text, as the platform draws
        // one, so that it does not invite typing.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
    }
    edit->setFrame((item.style & style::kBorder) != 0);
    // The typing limit (255) is not set as Qt's maxLength: Qt would cut text the program itself
    // puts in, which the platform never does. The fields are read-only, so nothing is typed.
    return edit;
}

std::unique_ptr<QWidget> MakeButton(const DialogItemTemplate& item) {
    const std::uint32_t kind = item.style & style::kButtonTypeMask;
    if (kind == style::kGroupBox) {
        auto box = std::make_unique<QGroupBox>(TextOf(item));
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    }
    auto button = std::make_unique<QPushButton>(TextOf(item));
    // Enter is handled by the dialog itself: the focused push button, else the OK command.
    button->setAutoDefault(false);
    button->setDefault(kind == style::kDefPushButton);
    return button;
}

std::unique_ptr<QWidget> MakeControl(const DialogItemTemplate& item) {
    if (item.windowClass == "static") return MakeStatic(item);
    if (item.windowClass == "edit") return MakeEdit(item);
    if (item.windowClass == "button") return MakeButton(item);
    if (item.windowClass == CRichText::kClassId) {
        // The rich-text control has no face of its own here: an empty, always hidden child that
        // holds its place and id. The conversion works on the dialog's CRichText.
        return std::make_unique<QWidget>();
    }
    return nullptr;
}

}  // namespace

bool CreateDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate,
                          DialogControls& controls) {
    std::vector<std::unique_ptr<QWidget>> made;
    for (const DialogItemTemplate& item : dialogTemplate.items) {
        std::unique_ptr<QWidget> control = MakeControl(item);
        if (!control) return false;
        made.push_back(std::move(control));
    }

    const QFont font = TemplateFont(dialogTemplate);
    dialog.setFont(font);
    controls.baseUnits = DialogBaseUnits(font);
    dialog.setWindowTitle(QString::fromLocal8Bit(
        dialogTemplate.caption.data(), static_cast<qsizetype>(dialogTemplate.caption.size())));
    const QRect client =
        MapDialogRect(QRect(0, 0, dialogTemplate.cx, dialogTemplate.cy), controls.baseUnits);
    dialog.setFixedSize(client.size());

    QWidget* previousTabStop = nullptr;
    for (std::size_t i = 0; i < made.size(); ++i) {
        const DialogItemTemplate& item = dialogTemplate.items[i];
        QWidget* control = made[i].release();
        control->setParent(&dialog);
        control->setFont(font);
        control->setObjectName(QStringLiteral("control%1").arg(item.id));
        control->setProperty("dialogControlId", item.id);
        control->setGeometry(
            MapDialogRect(QRect(item.x, item.y, item.cx, item.cy), controls.baseUnits));
        if ((item.style & style::kStaticTypeMask) == style::kStaticIcon &&
            item.windowClass == "static") {
            control->resize(32, 32);
        }
        const bool tabStop = (item.style & style::kTabStop) != 0;
        if (qobject_cast<QPushButton*>(control) != nullptr) {
            control->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        } else if (qobject_cast<QLineEdit*>(control) != nullptr) {
            control->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        } else {
            control->setFocusPolicy(Qt::NoFocus);
        }
        control->setVisible((item.style & style::kVisible) != 0);
        if (tabStop && control->focusPolicy() != Qt::NoFocus) {
            if (previousTabStop != nullptr) QWidget::setTabOrder(previousTabStop, control);
            previousTabStop = control;
        }
        // A text label just before a field in the template names that field, as the platform's
        // accessibility does: it becomes the label's buddy and gets the label's text as name.
        if (auto* field = qobject_cast<QLineEdit*>(control); field != nullptr && i > 0) {
            auto* label = qobject_cast<QLabel*>(controls.inOrder.back());
            if (label != nullptr && !label->text().isEmpty()) {
                label->setBuddy(field);
                field->setAccessibleName(label->text());
            }
        }
        if (item.id != kUnaddressedControl) controls.byId[item.id] = control;
        controls.inOrder.push_back(control);
    }
    return true;
}
