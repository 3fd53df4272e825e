#pragma once

#include <string>

// Message box styles and results, with the platform's values.
inline constexpr unsigned MB_OK = 0x00000000;
inline constexpr unsigned MB_ICONINFORMATION = 0x00000040;
inline constexpr unsigned MB_TASKMODAL = 0x00002000;
inline constexpr int IDOK = 1;

// What the program needs of a window to tell the user something: modal message boxes.
class UserMessages {
public:
    virtual ~UserMessages() = default;

    // A message box owned by the main window, with its own caption.
    virtual int ShowOwnedMessage(const std::string& text, const std::string& caption,
                                 unsigned style) = 0;
    // A message box raised through the application object: the application name as caption.
    virtual int ShowAppMessage(const std::string& text, unsigned style = MB_OK) = 0;

    // The same boxes with details beneath the text (what a run changed); a box that cannot show
    // details shows the text alone.
    virtual int ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                            unsigned style, const std::string& /*details*/) {
        return ShowOwnedMessage(text, caption, style);
    }
    virtual int ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                          const std::string& /*details*/) {
        return ShowAppMessage(text, style);
    }
};
