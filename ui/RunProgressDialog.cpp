#include "ui/RunProgressDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ProgressTexts.h"

RunProgressDialog::RunProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      m_pass(new QLabel(this)),
      m_rows(new QLabel(this)),
      m_note(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(tr("Cancel"), this)) {
    setWindowTitle(owner != nullptr ? owner->windowTitle() : QString());
    setWindowModality(Qt::WindowModal);
    m_bar->setTextVisible(false);
    m_bar->setAccessibleName(tr("Conversion progress"));
    m_cancel->setAutoDefault(false);
    m_cancel->setToolTip(tr("Stop after the current row; the rows written so far are kept"));
    connect(m_cancel, &QPushButton::clicked, this, &RunProgressDialog::reject);
    m_note->setWordWrap(true);
    m_note->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pass);
    layout->addWidget(m_bar);
    layout->addWidget(m_rows);
    layout->addWidget(m_note);
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

void RunProgressDialog::Show(const ConversionProgress& progress) {
    if (!m_cancelRequested) m_pass->setText(PassLine(progress.pass));
    m_rows->setText(RowsLine(progress));
    // The bar counts in thousandths, so that any number of rows fits its int range.
    m_bar->setRange(0, 1000);
    m_bar->setValue(
        progress.rowsToDo > 0 ? static_cast<int>(progress.rowsDone * 1000 / progress.rowsToDo) : 0);
    if (!isVisible()) show();
}

QString RunProgressDialog::PassText() const { return m_pass->text(); }
QString RunProgressDialog::RowsText() const { return m_rows->text(); }
QString RunProgressDialog::NoteText() const { return m_note->isHidden() ? QString() : m_note->text(); }

void RunProgressDialog::LastPassesBegin() {
    if (m_lastPasses) return;
    m_lastPasses = true;
    m_cancel->setEnabled(false);
    m_cancel->setToolTip(QString());
    m_note->setText(tr("The last passes are finishing and cannot be stopped."));
    m_note->show();
}

void RunProgressDialog::reject() {
    if (m_cancelRequested || m_lastPasses) return;
    m_cancelRequested = true;
    m_pass->setText(tr("Cancelling after the current row..."));
    m_cancel->setEnabled(false);
}

RunKeepAlive::RunKeepAlive(QWidget* window) : m_window(window) {}

RunKeepAlive::~RunKeepAlive() { End(); }

void RunKeepAlive::SetTimings(std::chrono::milliseconds showAfter,
                              std::chrono::milliseconds processEvery) {
    m_showAfter = showAfter;
    m_processEvery = processEvery;
}

void RunKeepAlive::Begin() {
    m_began = m_lastProcessed = std::chrono::steady_clock::now();
    m_lastPasses = false;
    if (!m_active) QCoreApplication::instance()->installEventFilter(this);
    m_active = true;
}

void RunKeepAlive::Report(const ConversionProgress& progress) {
    if (!m_active) return;
    const auto now = std::chrono::steady_clock::now();
    // Looking at the clock is cheap; handling events for every row would not be.
    if (now - m_lastProcessed < m_processEvery) return;
    m_lastProcessed = now;
    if (!m_dialog && now - m_began >= m_showAfter && m_window) {
        m_dialog = std::make_unique<RunProgressDialog>(m_window);
        if (m_lastPasses) m_dialog->LastPassesBegin();
    }
    if (m_dialog) m_dialog->Show(progress);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void RunKeepAlive::LastPassesBegin() {
    m_lastPasses = true;
    if (m_dialog) m_dialog->LastPassesBegin();
}

void RunKeepAlive::Finish() {
    if (!m_active) return;
    m_dialog.reset();
    // Clicks and keys that came in since the last look are the run's, not the next one's.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void RunKeepAlive::End() {
    if (!m_active) return;
    m_dialog.reset();
    QCoreApplication::instance()->removeEventFilter(this);
    m_active = false;
}

namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

// The widget an object belongs to: itself, or the nearest widget among its parents (a shortcut
// belongs to the widget it is made on).
QWidget* OwningWidget(QObject* object) {
    while (object != nullptr && !object->isWidgetType()) object = object->parent();
    return static_cast<QWidget*>(object);
}

}  // namespace

bool RunKeepAlive::eventFilter(QObject* watched, QEvent* event) {
    if (!m_active || !IsInput(event->type()) || !m_window) return false;
    QWidget* widget = OwningWidget(watched);
    if (widget == nullptr || widget->window() != m_window) return false;
    // Held back: the main dialog takes no input while its run lasts.
    if (event->type() == QEvent::Close) event->ignore();
    return true;
}
