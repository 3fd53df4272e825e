#pragma once

#include <string>
#include <vector>

#include "convert/ConversionHost.h"
#include "tests/support/FakeMessages.h"

// A window stand-in that records every message box, every Start button switch and every progress
// report, in order, and asks the run to stop after a given number of reports.
class RecordingHost : public ConversionHost {
public:
    using Kind = RecordedMessage::Kind;
    using Message = RecordedMessage;

    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override {
        return ShowOwnedMessageWithDetails(text, caption, style, {});
    }
    int ShowAppMessage(const std::string& text, unsigned style) override {
        return ShowAppMessageWithDetails(text, style, {});
    }
    int ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                    unsigned style, const std::string& details) override {
        messages.push_back({Kind::Owned, text, caption, style, details});
        return IDOK;
    }
    int ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                  const std::string& details) override {
        messages.push_back({Kind::App, text, {}, style, details});
        return IDOK;
    }
    void EnableStartButton(bool enabled) override { startButton.push_back(enabled); }
    CRichText& RichTextControl() override { return richText; }
    void ReportProgress(const ConversionProgress& report) override { progress.push_back(report); }
    bool CancelRequested() override {
        return cancelAfterReports >= 0 &&
               progress.size() >= static_cast<std::size_t>(cancelAfterReports);
    }
    void LastPassesBegin() override { lastPassesBegunAfter.push_back(progress.size()); }
    void RunEnded() override { ++runsEnded; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& m : messages) texts.push_back(m.text);
        return texts;
    }

    std::vector<Message> messages;
    std::vector<bool> startButton;  // every EnableStartButton call, in order
    CRichText richText;
    std::vector<ConversionProgress> progress;
    long long cancelAfterReports = -1;  // never
    std::vector<std::size_t> lastPassesBegunAfter;  // reports seen when the host was told
    int runsEnded = 0;
};
