#include "cli/ConsoleHost.h"

#include <algorithm>
#include <ostream>

#include "cli/ConsoleInterrupt.h"
#include "cli/ConsoleProgram.h"
#include "convert/MessageLines.h"
#include "convert/StartCommand.h"

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);
constexpr const char* kLastPassesCannotStop =
    "The last passes are finishing and cannot be stopped; the conversion will complete.";

}  // namespace

ConsoleHost::ConsoleHost(std::ostream& out, std::ostream& err, bool showProgress)
    : m_out(out), m_err(err), m_showProgress(showProgress) {}

int ConsoleHost::ShowOwnedMessage(const std::string& text, const std::string& caption,
                                  unsigned style) {
    return ShowOwnedMessageWithDetails(text, caption, style, {});
}

int ConsoleHost::ShowAppMessage(const std::string& text, unsigned style) {
    return ShowAppMessageWithDetails(text, style, {});
}

int ConsoleHost::ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                             unsigned, const std::string& details) {
    ClearProgressLine();
    const bool completion = text == kCompletionMessage && caption == kCompletionCaption;
    (completion ? m_completed : m_errorReported) = true;
    std::ostream& stream = completion ? m_out : m_err;
    Print(stream, completion ? text : std::string(kProgramName) + ": " + text);
    if (!details.empty()) Print(stream, details);
    return IDOK;
}

int ConsoleHost::ShowAppMessageWithDetails(const std::string& text, unsigned,
                                           const std::string& details) {
    ClearProgressLine();
    m_errorReported = true;
    Print(m_err, std::string(kProgramName) + ": " + text);
    if (!details.empty()) Print(m_err, details);
    return IDOK;
}

void ConsoleHost::ReportProgress(const ConversionProgress& progress) {
    if (m_lastPasses && !m_toldCannotStop && InterruptRequested()) {
        // Ctrl+C came too late to stop anything: say so once, and let the run complete.
        m_toldCannotStop = true;
        ClearProgressLine();
        Print(m_err, std::string(kProgramName) + ": " + kLastPassesCannotStop);
    }
    if (!m_showProgress) return;
    const auto now = std::chrono::steady_clock::now();
    // A terminal redrawn for every row would slow the run: a new pass, its last row and a tenth
    // of a second since the last redraw are what show.
    const bool newPass = progress.rowsDone == 0 || progress.pass != m_lastPass;
    if (!newPass && progress.rowsDone != progress.rowsToDo &&
        now - m_lastProgress < kProgressInterval) {
        return;
    }
    m_lastProgress = now;
    m_lastPass = progress.pass;
    std::string line = std::string(PassName(progress.pass)) + ": " +
                       std::to_string(progress.rowsDone) + " of " +
                       std::to_string(progress.rowsToDo) + " rows";
    // A line that reaches the terminal's last column wraps, and every redraw would then leave a
    // line behind: it is cut to fit.
    const std::size_t room = LineRoom();
    if (line.size() > room) line.resize(room);
    const std::size_t width = line.size();
    if (width < m_progressWidth) line.append(std::min(m_progressWidth, room) - width, ' ');
    m_err << '\r' << line;
    m_err.flush();
    m_progressWidth = width;
}

bool ConsoleHost::CancelRequested() { return InterruptRequested(); }

void ConsoleHost::ClearProgressLine() {
    if (m_progressWidth == 0) return;
    m_err << '\r' << std::string(std::min(m_progressWidth, LineRoom()), ' ') << '\r';
    m_err.flush();
    m_progressWidth = 0;
}

std::size_t ConsoleHost::LineRoom() const {
    const std::size_t columns = m_terminalColumns ? m_terminalColumns() : 0;
    return columns > 1 ? columns - 1 : std::string::npos;
}

void ConsoleHost::Print(std::ostream& stream, const std::string& text) {
    stream << MessageLines(text) << '\n';
    stream.flush();
}
