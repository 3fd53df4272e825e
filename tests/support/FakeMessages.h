#pragma once

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "db/CurrentUserRegistry.h"
#include "db/DaoEngine.h"
#include "db/UserMessages.h"

struct RecordedMessage {
    enum class Kind { Owned, App };
    Kind kind;
    std::string text;
    std::string caption;  // empty for application messages: the application names them
    unsigned style;
    std::string details;  // shown beneath the text; empty for none
};

// Message boxes as a list, for checking what the user was told and in which order.
class RecordingMessages : public UserMessages {
public:
    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override {
        return ShowOwnedMessageWithDetails(text, caption, style, {});
    }
    int ShowAppMessage(const std::string& text, unsigned style) override {
        return ShowAppMessageWithDetails(text, style, {});
    }
    int ShowOwnedMessageWithDetails(const std::string& text, const std::string& caption,
                                    unsigned style, const std::string& details) override {
        messages.push_back({RecordedMessage::Kind::Owned, text, caption, style, details});
        return IDOK;
    }
    int ShowAppMessageWithDetails(const std::string& text, unsigned style,
                                  const std::string& details) override {
        messages.push_back({RecordedMessage::Kind::App, text, {}, style, details});
        return IDOK;
    }

    std::vector<RecordedMessage> messages;
};

// The workgroup lookup key as a test sets it up: absent, present without the value, or with it.
class FakeRegistry : public CurrentUserRegistry {
public:
    bool keyExists = true;
    std::optional<std::string> value;
    bool closeSucceeds = true;

    std::vector<std::string> openedKeys;
    std::vector<std::string> queriedValues;
    int closes = 0;

    bool OpenKey(const std::string& subkey) override {
        openedKeys.push_back(subkey);
        return keyExists;
    }
    // As the registry does: the value and its terminator must fit the caller's buffer.
    bool QueryValue(const std::string& name, char* buffer, std::size_t bufferSize) override {
        queriedValues.push_back(name);
        if (!value || value->size() + 1 > bufferSize) return false;
        std::memcpy(buffer, value->c_str(), value->size() + 1);
        return true;
    }
    bool CloseKey() override {
        ++closes;
        return closeSucceeds;
    }
};

// Engine settings every test starts from: the default workgroup, and a short lock wait so that a
// lock held by another connection is reported quickly.
inline void UseTestEngineSettings() {
    AfxDaoInit();
    CDaoDBEngine* engine = AfxDaoGetEngine();
    engine->SetSystemDB("");
    engine->SetLockWait(std::chrono::milliseconds(200));
    engine->SetWriteGroupInterval(std::chrono::milliseconds(500));
}
