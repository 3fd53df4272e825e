#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/UserMessages.h"
#include "tests/support/TempDir.h"
#include "tests/ui/ProfileSandbox.h"
#include "ui/OpenFileDialog.h"

// Each test gets a profile of its own, so the user's is never touched, and must leave no window
// behind.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The workgroup lookup value, pointing at a folder with an (empty) workgroup file.
    void WriteWorkgroupLookup();
    bool ProfileFileExists(const std::string& applicationName = "Tallowmere") const;

    std::unique_ptr<ProfileSandbox> m_profile;
    TempDir m_data;
};

struct ShownMessage {
    bool owned;
    std::string text;
    std::string caption;
    unsigned style;
    std::string details;
};

class FakeMessages : public UserMessages {
public:
    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override;
    int ShowAppMessage(const std::string& text, unsigned style) override;
    int ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                    unsigned style, const std::string& details) override;
    int ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                  const std::string& details) override;

    std::vector<ShownMessage> shown;
    std::function<void()> onShow;  // runs while a box would be up
};

class FakeFileDialog : public OpenFileDialog {
public:
    std::optional<std::string> Run(const OpenFileRequest& request) override;

    std::vector<std::optional<std::string>> answers;  // taken in order; none left: cancelled
    std::vector<OpenFileRequest> requests;
};

// Answers every modal dialog of type T that opens: records its caption and runs the action
// (by default the Cancel command) once the dialog's own event loop is running.
class ModalAnswerer : public QObject {
public:
    using Action = std::function<void(QDialog&)>;
    explicit ModalAnswerer(const char* className, Action action = {});
    ~ModalAnswerer() override;

    std::vector<std::string> captions;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const char* m_className;
    Action m_action;
};
