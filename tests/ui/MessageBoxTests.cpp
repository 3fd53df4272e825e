// The program's own message boxes: which buttons and icon a style asks for, what each answer
// returns, and a summary in the details that can be read without scrolling.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextEdit>

#include "db/UserMessages.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MessageBoxes.h"

namespace {

class MessageBox : public UiTest {};

struct AnswerCase {
    unsigned style;
    QMessageBox::StandardButton pressed;
    int returned;
    QMessageBox::Icon icon;
};

class MessageBoxAnswer : public MessageBox, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(MessageBoxAnswer, ReturnsTheIdOfThePressedButton) {
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    ModalAnswerer answerer("QMessageBox", [&](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        shownIcon = box.icon();
        // A missing button leaves the box with Escape's answer, which no case expects.
        QAbstractButton* button = box.button(GetParam().pressed);
        if (button != nullptr) {
            button->click();
        } else {
            box.reject();
        }
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "Text", "Caption", GetParam().style), GetParam().returned);
    EXPECT_EQ(shownIcon, GetParam().icon);
    EXPECT_EQ(answerer.captions, std::vector<std::string>{"Caption"});
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MessageBoxAnswer,
    ::testing::Values(AnswerCase{MB_OK, QMessageBox::Ok, IDOK, QMessageBox::NoIcon},
                      AnswerCase{MB_OKCANCEL | MB_ICONHAND, QMessageBox::Cancel, IDCANCEL,
                                 QMessageBox::Critical},
                      AnswerCase{MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes, IDYES,
                                 QMessageBox::Question},
                      AnswerCase{MB_YESNO, QMessageBox::No, IDNO, QMessageBox::NoIcon},
                      AnswerCase{MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, IDOK,
                                 QMessageBox::Warning}));

TEST_F(MessageBox, UnfoldedDetailsShowTheWholeSummaryWithoutScrolling) {
    const std::string summary =
        "Categories added: 0\r\nCategories overwritten: 2\r\nPhrases added: 20000\r\n"
        "Phrases overwritten: 2\r\nCategory identifiers shortened: 0\r\n"
        "Phrase categories shortened: 20002\r\nPhrase texts converted from rich text: 20002\r\n"
        "Rows afterwards: 2 categories, 20002 phrases\r\nTime taken: 12.3 s";
    int verticalRange = -1;
    int horizontalRange = -1;
    QString shown;
    ModalAnswerer answerer("QMessageBox", [&](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        for (QAbstractButton* button : box.buttons()) {
            if (box.buttonRole(button) == QMessageBox::ActionRole) button->click();
        }
        QCoreApplication::processEvents();
        auto* edit = box.findChild<QTextEdit*>();
        if (edit != nullptr && edit->isVisible()) {
            shown = edit->toPlainText();
            verticalRange = edit->verticalScrollBar()->maximum();
            horizontalRange = edit->horizontalScrollBar()->maximum();
        }
        box.accept();
    });
    ShowMessageBox(nullptr, "Conversion complete!", "Tallowmere", MB_OK, summary);
    EXPECT_EQ(shown.count(QLatin1Char('\n')), 8);
    EXPECT_EQ(verticalRange, 0);
    EXPECT_EQ(horizontalRange, 0);
}

}  // namespace
