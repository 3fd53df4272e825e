#pragma once

#include <QDialog>
#include <QIcon>
#include <memory>
#include <string>

#include "convert/ConversionHost.h"
#include "convert/StartCommand.h"
#include "ui/CRichText.h"
#include "ui/DialogTemplate.h"
#include "ui/SystemMenu.h"

class CurrentUserRegistry;
class OpenFileDialog;
class RunKeepAlive;
class Profile;
class QMenu;

// The profile section and values the dialog keeps the two paths in, with their defaults.
inline constexpr const char* kPathsSection = "Paths";
inline constexpr const char* kSourceEntry = "Source";
inline constexpr const char* kDestinationEntry = "Destination";
inline constexpr const char* kDefaultSource = "C:\\Program Files\\Veltrane\\Data\\Main\\am_pub.mdb";
inline constexpr const char* kDefaultDestination =
    "C:\\Program Files\\Veltrane\\Scrivane\\Scrivane.mdb";

// Each browse offers first the databases its path names by default, then any SQLite database and
// any file: the path fields take no typing, so the dialog is the only way to a file named
// otherwise.
inline constexpr const char* kSourceFilter =
    "Ambrell Databases (am_pub.mdb)|am_pub.mdb|"
    "SQLite databases (*.db *.sqlite *.sqlite3)|*.db;*.sqlite;*.sqlite3|"
    "All files (*)|*||";
inline constexpr const char* kDestinationFilter =
    "Scrivane Databases (*.mdb)|*.mdb|"
    "SQLite databases (*.db *.sqlite *.sqlite3)|*.db;*.sqlite;*.sqlite3|"
    "All files (*)|*||";
inline constexpr const char* kDatabaseExtension = "mdb";
inline constexpr std::size_t kMaxPathChars = 255;

inline constexpr int IDC_SOURCE = 1000;
inline constexpr int IDC_DESTINATION = 1001;
inline constexpr int IDC_BROWSE_SOURCE = 1002;
inline constexpr int IDC_BROWSE_DESTINATION = 1003;
inline constexpr int IDC_START = 1004;
inline constexpr int IDC_RICHTEXT = 1005;
inline constexpr unsigned ID_HELP = 0xE146;

// Where commands the dialog does not handle itself go next: the application object.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual bool OnCmdMsg(unsigned id) = 0;
};

// What the dialog talks to besides its own controls; each null member gets the real one.
struct ConvertDlgServices {
    UserMessages* messages = nullptr;
    OpenFileDialog* fileDialog = nullptr;
    CurrentUserRegistry* registry = nullptr;
};

// The main dialog, from template 102: the two database paths, their browse buttons and Start.
class CConvertDlg : public QDialog, public ConversionHost {
    Q_OBJECT

public:
    explicit CConvertDlg(Profile& profile, ConvertDlgServices services = {},
                         QWidget* parent = nullptr);
    ~CConvertDlg() override;

    // Makes the controls and initialises the dialog without running it; false when a control
    // cannot be made. DoModal does this first.
    bool Initialize();
    // Runs the dialog modally: IDOK or IDCANCEL, or -1 when it could not be made.
    int DoModal();

    void SetCommandTarget(CommandTarget* target) { m_commandTarget = target; }

    QWidget* GetDlgItem(int id) const;
    const DialogControls& Controls() const { return m_controls; }
    const SystemMenu& GetSystemMenu() const { return m_systemMenu; }
    // The system menu as a popup, each action carrying its command id as data.
    std::unique_ptr<QMenu> CreateSystemMenuPopup();
    const std::string& SourcePath() const { return m_strSource; }
    const std::string& DestinationPath() const { return m_strDestination; }
    const StartCommand& Start() const { return m_start; }

    // Exchange between members and fields; false when a field fails validation.
    bool UpdateData(bool saveAndValidate);
    void OnSysCommand(unsigned nID, qintptr lParam);
    // The framework's OK and Cancel commands.
    void OnOK();
    void OnCancel();

    // ConversionHost
    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override;
    int ShowAppMessage(const std::string& text, unsigned style = MB_OK) override;
    int ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                    unsigned style, const std::string& details) override;
    int ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                  const std::string& details) override;
    void EnableStartButton(bool enabled) override;
    CRichText& RichTextControl() override { return m_richText; }
    void ReportProgress(const ConversionProgress& progress) override;
    bool CancelRequested() override;
    void LastPassesBegin() override;
    void RunEnded() override;

    // What keeps the window alive during a run, and its progress box while that shows.
    RunKeepAlive& KeepAlive() { return *m_keepAlive; }

protected:
    bool DoDataExchange(bool saveAndValidate);
    bool OnInitDialog();
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private slots:
    void OnStart();
    void OnBrowseSource();
    void OnBrowseDestination();

private:
    bool Create();
    void ConnectMessageMap();
    void Browse(std::string& path, const char* filter, const char* entry);
    bool ExchangeText(bool saveAndValidate, int id, std::string& value);
    void DefaultSysCommand(unsigned nID);
    void ShowSystemMenuAt(const QPoint& globalPos);
    void ShowSystemMenuFromKeyboard();
    void DescribeControls();

    CRichText m_richText;
    std::string m_strDestination;
    std::string m_strSource;
    QIcon m_hIcon;

    Profile& m_profile;
    std::unique_ptr<UserMessages> m_ownedMessages;
    std::unique_ptr<OpenFileDialog> m_ownedFileDialog;
    std::unique_ptr<CurrentUserRegistry> m_ownedRegistry;
    UserMessages* m_messages;
    OpenFileDialog* m_fileDialog;
    CurrentUserRegistry* m_registry;
    StartCommand m_start;  // owns the workspace (m_pWorkspace) on the dialog's behalf

    std::unique_ptr<RunKeepAlive> m_keepAlive;
    CommandTarget* m_commandTarget = nullptr;
    DialogControls m_controls;
    SystemMenu m_systemMenu = SystemMenu::Standard();
    bool m_created = false;
    bool m_sysCommandHandedOn = false;
    bool m_inNativeSysCommand = false;
};
