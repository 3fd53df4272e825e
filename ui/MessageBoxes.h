#pragma once

#include <QPointer>
#include <QWidget>

#include "db/UserMessages.h"

inline constexpr unsigned MB_OKCANCEL = 0x00000001;
inline constexpr unsigned MB_YESNO = 0x00000004;
inline constexpr unsigned MB_ICONHAND = 0x00000010;
inline constexpr unsigned MB_ICONQUESTION = 0x00000020;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x00000030;
inline constexpr unsigned MB_ICONMASK = 0x000000F0;
inline constexpr unsigned MB_TYPEMASK = 0x0000000F;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Modal message boxes with QMessageBox. Owned boxes sit over the owner window; application boxes
// carry the application name as caption and sit over the active window, as the framework's do.
class MessageBoxes : public UserMessages {
public:
    explicit MessageBoxes(QWidget* owner) : m_owner(owner) {}

    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override;
    int ShowAppMessage(const std::string& text, unsigned style = MB_OK) override;
    int ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                    unsigned style, const std::string& details) override;
    int ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                  const std::string& details) override;

private:
    QPointer<QWidget> m_owner;
};

// details, when given, can be unfolded beneath the text.
int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   unsigned style, const std::string& details = {});

// The style the application object gives a box raised through it: a box that names no icon
// gets the exclamation mark (question mark for Yes and No), as the framework's own reports do.
unsigned AppMessageStyle(unsigned style);
