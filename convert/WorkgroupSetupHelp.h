#pragma once

#include <functional>
#include <string>

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
