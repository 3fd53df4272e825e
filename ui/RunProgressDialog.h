#pragma once

#include <QDialog>
#include <QPointer>
#include <chrono>
#include <memory>

#include "convert/RunProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The modal box over the main dialog while a long run lasts: the pass, rows done of rows to do,
// and Cancel. Cancel, Escape and the close box all ask the run to stop while it copies; once the
// last passes run they cannot be stopped, and the box says so. The box goes when the run has
// ended, never by itself.
class RunProgressDialog : public QDialog {
    Q_OBJECT

public:
    explicit RunProgressDialog(QWidget* owner);

    void Show(const ConversionProgress& progress);
    // The run can no longer be stopped: Cancel is disabled and a note says why.
    void LastPassesBegin();
    bool CancelRequested() const { return m_cancelRequested; }
    QPushButton* CancelButton() const { return m_cancel; }
    QString PassText() const;
    QString RowsText() const;
    QString NoteText() const;

public slots:
    void reject() override;  // Cancel, Escape or the close box

private:
    QLabel* m_pass;
    QLabel* m_rows;
    QLabel* m_note;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    bool m_cancelRequested = false;
    bool m_lastPasses = false;
};

// Keeps the main dialog alive while a run holds the user-interface thread: between rows it lets
// the window repaint, holds back every input meant for the main dialog (no second Start, no new
// path, no closing), and after a while shows the progress box, whose Cancel it passes on.
class RunKeepAlive : public QObject {
public:
    explicit RunKeepAlive(QWidget* window);
    ~RunKeepAlive() override;

    void Begin();  // Start was pressed
    void Report(const ConversionProgress& progress);
    void LastPassesBegin();  // from here on the run cannot be stopped
    bool CancelRequested() const { return m_dialog && m_dialog->CancelRequested(); }
    void Finish();  // the run is over: the progress box goes, held-back input is dropped
    void End();     // the Start handler is over: input reaches the main dialog again

    // How long a run goes before the progress box shows, and how often events are handled.
    void SetTimings(std::chrono::milliseconds showAfter, std::chrono::milliseconds processEvery);
    std::chrono::milliseconds ProcessEvery() const { return m_processEvery; }
    RunProgressDialog* Dialog() const { return m_dialog.get(); }
    bool Active() const { return m_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    std::unique_ptr<RunProgressDialog> m_dialog;
    bool m_active = false;
    bool m_lastPasses = false;
    std::chrono::milliseconds m_showAfter{1000};
    // Often enough that a screen reader's query waits a few milliseconds, not tens; handling no
    // events costs the run next to nothing (bench_run_responsiveness measures both).
    std::chrono::milliseconds m_processEvery{5};
    std::chrono::steady_clock::time_point m_began;
    std::chrono::steady_clock::time_point m_lastProcessed;
};
