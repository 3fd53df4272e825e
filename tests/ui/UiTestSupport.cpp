#include "tests/ui/UiTestSupport.h"

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <filesystem>
#include <memory>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Widget tests draw nowhere: no display needed, nothing shown on the user's screen. On
        // Windows they use the real platform, whose system menu is under test (run under Wine
        // with a virtual display).
#ifndef _WIN32
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tallowmere"));
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_arg0[16] = "Tallowmere";
    char* m_argv[2] = {m_arg0, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

void UiTest::SetUp() { m_profile = std::make_unique<ProfileSandbox>(); }

void UiTest::TearDown() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList leaked;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        leaked << QString::fromLatin1(widget->metaObject()->className()) + u' ' +
                      widget->windowTitle();
    }
    EXPECT_TRUE(leaked.isEmpty()) << "windows left behind: "
                                  << leaked.join(QStringLiteral(", ")).toStdString();
    m_profile.reset();
}

void UiTest::WriteWorkgroupLookup() {
    const std::filesystem::path workgroup = m_data.Path() / "workgroup";
    std::filesystem::create_directories(workgroup);
    WriteFileBytes((workgroup / "VELTRANE.MDW").string(), "");
    m_profile->WriteWorkgroupLookup(workgroup.string());
}

bool UiTest::ProfileFileExists(const std::string& applicationName) const {
    return m_profile->ProfileExists(applicationName);
}

int FakeMessages::ShowOwnedMessage(const std::string& text, const std::string& caption,
                                   unsigned style) {
    return ShowOwnedMessageWithDetails(text, caption, style, {});
}

int FakeMessages::ShowAppMessage(const std::string& text, unsigned style) {
    return ShowAppMessageWithDetails(text, style, {});
}

int FakeMessages::ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                              unsigned style, const std::string& details) {
    shown.push_back({true, text, caption, style, details});
    if (onShow) onShow();
    return IDOK;
}

int FakeMessages::ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                            const std::string& details) {
    shown.push_back(
        {false, text, QCoreApplication::applicationName().toStdString(), style, details});
    if (onShow) onShow();
    return IDOK;
}

std::optional<std::string> FakeFileDialog::Run(const OpenFileRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

ModalAnswerer::ModalAnswerer(const char* className, Action action)
    : m_className(className), m_action(std::move(action)) {
    qApp->installEventFilter(this);
}

ModalAnswerer::~ModalAnswerer() { qApp->removeEventFilter(this); }

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->inherits(m_className)) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog != nullptr && dialog->isWindow()) {
            captions.push_back(dialog->windowTitle().toStdString());
            // Queued, so that it reaches the dialog inside its own modal loop.
            QMetaObject::invokeMethod(
                dialog,
                [dialog, action = m_action] {
                    if (action) {
                        action(*dialog);
                    } else {
                        dialog->reject();
                    }
                },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}
