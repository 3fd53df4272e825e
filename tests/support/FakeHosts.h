#pragma once

#include <string>
#include <vector>

#include "convert/ConversionHost.h"
#include "tests/support/FakeMessages.h"

// A window stand-in that records every message box and every Start button switch, in order.
class RecordingHost : public ConversionHost {
public:
    using Kind = RecordedMessage::Kind;
    using Message = RecordedMessage;

    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override {
        messages.push_back({Kind::Owned, text, caption, style});
        return IDOK;
    }
    int ShowAppMessage(const std::string& text, unsigned style) override {
        messages.push_back({Kind::App, text, {}, style});
        return IDOK;
    }
    void EnableStartButton(bool enabled) override { startButton.push_back(enabled); }
    CRichText& RichTextControl() override { return richText; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& m : messages) texts.push_back(m.text);
        return texts;
    }

    std::vector<Message> messages;
    std::vector<bool> startButton;  // every EnableStartButton call, in order
    CRichText richText;
};
