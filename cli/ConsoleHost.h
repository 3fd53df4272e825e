#pragma once

#include <iosfwd>
#include <string>

#include "convert/ConversionHost.h"

// The console as the Start flow's window: the completion message on standard output, every
// other message on standard error.
class ConsoleHost : public ConversionHost {
public:
    ConsoleHost(std::ostream& out, std::ostream& err);

    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override;
    int ShowAppMessage(const std::string& text, unsigned style) override;
    void EnableStartButton(bool) override {}  // the console has no button to switch
    CRichText& RichTextControl() override { return m_richText; }

    bool Completed() const { return m_completed; }
    bool ErrorReported() const { return m_errorReported; }

private:
    void Print(std::ostream& stream, const std::string& text);

    std::ostream& m_out;
    std::ostream& m_err;
    CRichText m_richText;
    bool m_completed = false;
    bool m_errorReported = false;
};
