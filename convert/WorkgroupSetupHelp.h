#pragma once

#include <functional>
#include <string>

#include "db/UserMessages.h"

// What the user is told beneath the workgroup lookup's messages: which setting is read, from
// where, and how to set it. Given the workgroup file the setting named when that file is
// missing, or "" when no setting was found at all.
using WorkgroupSetupHelp = std::function<std::string(const std::string& missingFile)>;

// The help in words, from where this system keeps the setting (setting: "the value ... under
// ...", or "the key ... of the file ...") and how to set it there (howToSet: whole lines).
std::string DescribeWorkgroupSetup(const std::string& missingFile, const std::string& setting,
                                   const std::string& howToSet);

// The help where the setting lives in the Windows registry.
std::string RegistryWorkgroupSetupHelp(const std::string& missingFile);

// Passes messages on with details beneath every one: the registry lookup's own messages keep
// their text and caption and gain the help.
class MessagesWithDetails : public UserMessages {
public:
    MessagesWithDetails(UserMessages& messages, std::function<std::string()> details)
        : m_messages(messages), m_details(std::move(details)) {}

    int ShowOwnedMessage(const std::string& text, const std::string& caption,
                         unsigned style) override {
        return m_messages.ShowOwnedMessageWithDetails(text, caption, style, Details());
    }
    int ShowAppMessage(const std::string& text, unsigned style) override {
        return m_messages.ShowAppMessageWithDetails(text, style, Details());
    }

private:
    std::string Details() const { return m_details ? m_details() : std::string(); }

    UserMessages& m_messages;
    std::function<std::string()> m_details;
};
