#include "cli/ConsoleHost.h"

#include <ostream>

#include "convert/MessageLines.h"
#include "convert/StartCommand.h"

ConsoleHost::ConsoleHost(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

int ConsoleHost::ShowOwnedMessage(const std::string& text, const std::string& caption, unsigned) {
    if (text == kCompletionMessage && caption == kCompletionCaption) {
        m_completed = true;
        Print(m_out, text);
    } else {
        m_errorReported = true;
        Print(m_err, text);
    }
    return IDOK;
}

int ConsoleHost::ShowAppMessage(const std::string& text, unsigned) {
    m_errorReported = true;
    Print(m_err, text);
    return IDOK;
}

void ConsoleHost::Print(std::ostream& stream, const std::string& text) {
    stream << MessageLines(text) << '\n';
    stream.flush();
}
