#include "ui/CConvertDlg.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <exception>

#include "platform/Profile.h"
#include "platform/SettingsRegistry.h"
#include "platform/WorkgroupSettingHelp.h"
#include "ui/IconPosition.h"
#include "ui/MessageBoxes.h"
#include "ui/OpenFileDialog.h"
#include "ui/Resources.h"
#include "ui/RunProgressDialog.h"
#include "ui/WaitCursor.h"
#ifdef Q_OS_WIN
#include "ui/NativeSystemMenu.h"
#endif

namespace {

// The application's main window, of a fixed size: caption, system menu, minimise and close boxes,
// no maximise box. A normal window, not a dialog, so that window managers offer to minimise it.
constexpr Qt::WindowFlags kMainWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

constexpr int kIconSize = 32;  // SM_CXICON, SM_CYICON

constexpr const char* kFieldTooLongMessage = "Please enter no more than 255 characters.";

template <typename T>
T* OwnedOr(T* given, std::unique_ptr<T>& owned, auto make) {
    if (given != nullptr) return given;
    owned = make();
    return owned.get();
}

}  // namespace

CConvertDlg::CConvertDlg(Profile& profile, ConvertDlgServices services, QWidget* parent)
    : QDialog(parent, kMainWindowFlags),
      m_hIcon(LoadIconResource(IDR_MAINFRAME)),
      m_profile(profile),
      m_messages(OwnedOr<UserMessages>(services.messages, m_ownedMessages,
                                       [this] { return std::make_unique<MessageBoxes>(this); })),
      m_fileDialog(OwnedOr<OpenFileDialog>(services.fileDialog, m_ownedFileDialog,
                                           [] { return std::make_unique<QtOpenFileDialog>(); })),
      m_registry(OwnedOr<CurrentUserRegistry>(services.registry, m_ownedRegistry,
                                              [] { return std::make_unique<SettingsRegistry>(); })),
      m_start(*this, *m_registry),
      m_keepAlive(std::make_unique<RunKeepAlive>(this)) {
    // Where the settings are the program's own, a failed workgroup lookup says where to set it.
    if (const auto* settings = dynamic_cast<const SettingsRegistry*>(m_registry)) {
        m_start.SetWorkgroupSetupHelp(SettingsWorkgroupSetupHelp(*settings));
    }
}

CConvertDlg::~CConvertDlg() = default;

// The message map: which handler each control's click and each key command reaches.
void CConvertDlg::ConnectMessageMap() {
    struct ClickEntry {
        int id;
        void (CConvertDlg::*handler)();
    };
    static constexpr ClickEntry kClicks[] = {
        {IDC_START, &CConvertDlg::OnStart},
        {IDC_BROWSE_SOURCE, &CConvertDlg::OnBrowseSource},
        {IDC_BROWSE_DESTINATION, &CConvertDlg::OnBrowseDestination},
    };
    for (const ClickEntry& entry : kClicks) {
        if (auto* button = qobject_cast<QPushButton*>(GetDlgItem(entry.id))) {
            connect(button, &QPushButton::clicked, this, entry.handler);
        }
    }
    // WM_SYSCOMMAND, WM_PAINT and the keys arrive through the event overrides below; these
    // two keys stand in for the menu key and the Help key the platform would route.
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this), &QShortcut::activated, this,
            [this] { ShowSystemMenuAt(mapToGlobal(QPoint(0, 0))); });
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] {
        if (m_commandTarget != nullptr) m_commandTarget->OnCmdMsg(ID_HELP);
    });
#ifndef Q_OS_WIN
    // Where the window manager owns the system menu, the keyboard reaches the dialog's own menu
    // (and its About entry) as it reaches any context menu: Shift+F10 here, and the Menu key,
    // which the platform turns into a keyboard context-menu request to the focused field.
    auto* shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(shiftF10, &QShortcut::activated, this, &CConvertDlg::ShowSystemMenuFromKeyboard);
    for (int id : {IDC_SOURCE, IDC_DESTINATION}) {
        if (QWidget* field = GetDlgItem(id)) field->installEventFilter(this);
    }
#endif
}

// Names and hints for assistive technology and for the pointer: the labels already name their
// fields (the template builder makes each the buddy of the field after it).
void CConvertDlg::DescribeControls() {
    struct Browse {
        int id;
        const char* name;
    };
    static constexpr Browse kBrowse[] = {
        {IDC_BROWSE_SOURCE, "Browse for the source database"},
        {IDC_BROWSE_DESTINATION, "Browse for the destination database"},
    };
    for (const Browse& browse : kBrowse) {
        if (QWidget* button = GetDlgItem(browse.id)) {
            button->setAccessibleName(QString::fromLatin1(browse.name));
            button->setToolTip(QString::fromLatin1(browse.name));
        }
    }
}

bool CConvertDlg::Create() {
    if (m_created) return true;
    const DialogTemplate* dialogTemplate = FindDialogTemplate(IDD_CONVERT_DIALOG);
    if (dialogTemplate == nullptr || !CreateDialogControls(*this, *dialogTemplate, m_controls)) {
        return false;
    }
    ConnectMessageMap();
    DescribeControls();
    m_created = true;
    return true;
}

bool CConvertDlg::Initialize() {
    if (!Create()) return false;
    OnInitDialog();
    return true;
}

int CConvertDlg::DoModal() {
    if (!Initialize()) return -1;
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

QWidget* CConvertDlg::GetDlgItem(int id) const {
    const auto found = m_controls.byId.find(id);
    return found == m_controls.byId.end() ? nullptr : found->second;
}

bool CConvertDlg::ExchangeText(bool saveAndValidate, int id, std::string& value) {
    auto* field = qobject_cast<QLineEdit*>(GetDlgItem(id));
    if (field == nullptr) return true;
    if (!saveAndValidate) {
        field->setText(QString::fromLocal8Bit(value));
        field->setCursorPosition(0);
        field->setToolTip(field->text());  // the whole path, however narrow the field
        return true;
    }
    value = field->text().toLocal8Bit().toStdString();
    if (value.size() > kMaxPathChars) {
        m_messages->ShowAppMessage(kFieldTooLongMessage, MB_OK | MB_ICONEXCLAMATION);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return false;
    }
    return true;
}

bool CConvertDlg::DoDataExchange(bool saveAndValidate) {
    // Control 1005 holds the rich-text control's place; m_richText is the control itself, so
    // binding it needs nothing more.
    if (!ExchangeText(saveAndValidate, IDC_DESTINATION, m_strDestination)) return false;
    return ExchangeText(saveAndValidate, IDC_SOURCE, m_strSource);
}

bool CConvertDlg::UpdateData(bool saveAndValidate) { return DoDataExchange(saveAndValidate); }

bool CConvertDlg::OnInitDialog() {
    UpdateData(false);

    const std::size_t standardItems = m_systemMenu.Items().size();
    AddAboutEntry(m_systemMenu, LoadResourceString(IDS_ABOUTBOX));
#ifdef Q_OS_WIN
    AppendToNativeSystemMenu(*this, m_systemMenu.Items(), standardItems);
#else
    (void)standardItems;
#endif

    setWindowIcon(m_hIcon);  // big and small: the icon holds both sizes

    m_strSource = m_profile.GetProfileString(kPathsSection, kSourceEntry, kDefaultSource);
    m_strDestination =
        m_profile.GetProfileString(kPathsSection, kDestinationEntry, kDefaultDestination);
    UpdateData(false);

    if (QWidget* first = GetDlgItem(IDC_SOURCE)) first->setFocus(Qt::OtherFocusReason);
    return true;
}

void CConvertDlg::paintEvent(QPaintEvent* event) {
    if (!isMinimized()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int x = CenteredIconOffset(width(), kIconSize);
    const int y = CenteredIconOffset(height(), kIconSize);
    painter.drawPixmap(x, y, m_hIcon.pixmap(kIconSize, kIconSize));
}

void CConvertDlg::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // Enter presses the push button that has the focus; anywhere else it is the OK command.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr) {
            if (button->isEnabled()) button->click();
        } else {
            OnOK();
        }
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CConvertDlg::OnOK() {
    if (!UpdateData(true)) return;
    accept();
}

void CConvertDlg::OnCancel() { reject(); }

void CConvertDlg::OnStart() {
    WaitCursor wait;
    // The window stays painted during the run but takes no input until the handler ends.
    struct KeepAliveScope {
        RunKeepAlive& keepAlive;
        explicit KeepAliveScope(RunKeepAlive& k) : keepAlive(k) { keepAlive.Begin(); }
        ~KeepAliveScope() { keepAlive.End(); }
    } keepAlive(*m_keepAlive);
    // No exception may cross into Qt's event loop: whatever the shared flow does not report
    // itself is reported here, and the dialog stays open.
    try {
        m_start.RunAndReport(m_strSource, m_strDestination);
    } catch (const std::exception& error) {
        m_messages->ShowAppMessage(error.what(), MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        m_messages->ShowAppMessage("An unexpected error ended the operation.",
                                   MB_OK | MB_ICONEXCLAMATION);
    }
    // However the run ended, Start is usable again and has the focus back: disabling it during
    // the run moved the focus on to the source field, where the next Enter closes the program.
    if (QWidget* start = GetDlgItem(IDC_START)) {
        start->setEnabled(true);
        start->setFocus(Qt::OtherFocusReason);
    }
}

int CConvertDlg::ShowOwnedMessage(const std::string& text, const std::string& caption,
                                  unsigned style) {
    return m_messages->ShowOwnedMessage(text, caption, style);
}

int CConvertDlg::ShowAppMessage(const std::string& text, unsigned style) {
    return m_messages->ShowAppMessage(text, style);
}

int CConvertDlg::ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                             unsigned style, const std::string& details) {
    return m_messages->ShowOwnedMessageWithDetails(text, caption, style, details);
}

int CConvertDlg::ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                           const std::string& details) {
    return m_messages->ShowAppMessageWithDetails(text, style, details);
}

void CConvertDlg::ReportProgress(const ConversionProgress& progress) {
    m_keepAlive->Report(progress);
}

bool CConvertDlg::CancelRequested() { return m_keepAlive->CancelRequested(); }

void CConvertDlg::LastPassesBegin() { m_keepAlive->LastPassesBegin(); }

void CConvertDlg::RunEnded() { m_keepAlive->Finish(); }

void CConvertDlg::EnableStartButton(bool enabled) {
    if (QWidget* start = GetDlgItem(IDC_START)) start->setEnabled(enabled);
}
