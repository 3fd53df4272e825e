#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

#include "convert/ConversionHost.h"

// The console as the Start flow's window: the completion message and the summary of what the run
// changed on standard output, every other message on standard error. On a terminal, standard
// error also carries one line that follows the run's progress.
class ConsoleHost : public ConversionHost {
public:
    ConsoleHost(std::ostream& out, std::ostream& err, bool showProgress = false);

    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override;
    int ShowAppMessage(const std::string& text, unsigned style) override;
    int ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                    unsigned style, const std::string& details) override;
    int ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                  const std::string& details) override;
    void EnableStartButton(bool) override {}  // the console has no button to switch
    CRichText& RichTextControl() override { return m_richText; }
    void ReportProgress(const ConversionProgress& progress) override;
    bool CancelRequested() override;
    void LastPassesBegin() override { m_lastPasses = true; }
    void RunEnded() override { ClearProgressLine(); }

    // The terminal's width in columns (0 when not known), asked at each redraw of the line.
    void SetTerminalColumns(std::function<std::size_t()> columns) {
        m_terminalColumns = std::move(columns);
    }

    bool Completed() const { return m_completed; }
    bool ErrorReported() const { return m_errorReported; }

private:
    void Print(std::ostream& stream, const std::string& text);
    void ClearProgressLine();
    std::size_t LineRoom() const;

    std::ostream& m_out;
    std::ostream& m_err;
    CRichText m_richText;
    bool m_completed = false;
    bool m_errorReported = false;
    bool m_showProgress;
    bool m_lastPasses = false;        // the run can no longer be stopped
    bool m_toldCannotStop = false;
    std::size_t m_progressWidth = 0;  // characters of the progress line now shown
    std::chrono::steady_clock::time_point m_lastProgress;
    ConversionPass m_lastPass = ConversionPass::CopyCategories;
    std::function<std::size_t()> m_terminalColumns;
};
