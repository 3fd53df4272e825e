#include "platform/WorkgroupSettingHelp.h"

#include <QDir>

#include "db/EngineStart.h"
#include "platform/SettingsRegistry.h"

#if !defined(Q_OS_WIN)
namespace {

std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

// The group the lookup key becomes in a settings file: its last part.
std::string LookupGroup() {
    const std::string key = kWorkgroupLookupKey;
    return key.substr(key.rfind('\\') + 1);
}

std::string FileHelp(const SettingsRegistry& registry, const std::string& missingFile) {
    const std::string userFile = Local(registry.UserFile(kWorkgroupLookupKey));
    const QString defaultsFile = registry.DefaultsFile(kWorkgroupLookupKey);
    const std::string key = "the key " + std::string(kWorkgroupLookupValue) + " in the group [" +
                            LookupGroup() + "] of ";
    std::string setting;
    if (!missingFile.empty() && !registry.UserHasKey(kWorkgroupLookupKey) &&
        !defaultsFile.isEmpty()) {
        // The program's own default named the file: the install is incomplete or was moved.
        setting = key + "the program's default file\n  " + Local(defaultsFile) +
                  "\nwhich stands in while this file has no such group:\n  " + userFile;
    } else if (defaultsFile.isEmpty()) {
        setting = key + "the file\n  " + userFile +
                  "\nand the default that the install lays beside the program was not found in";
        for (const QString& folder : registry.DefaultsFolders()) {
            setting += "\n  " + Local(QDir::toNativeSeparators(folder));
        }
    } else {
        setting = key + "the file\n  " + userFile +
                  "\nor, where it has no such group, of the program's default file\n  " +
                  Local(defaultsFile);
    }
    return DescribeWorkgroupSetup(missingFile, setting,
                                  "To set it, put these two lines in\n  " + userFile +
                                      "\nnaming the folder that holds VELTRANE.MDW:\n  [" +
                                      LookupGroup() + "]\n  " + kWorkgroupLookupValue +
                                      "=/path/to/folder");
}

}  // namespace
#endif

WorkgroupSetupHelp SettingsWorkgroupSetupHelp(const SettingsRegistry& registry) {
#if defined(Q_OS_WIN)
    (void)registry;
    return RegistryWorkgroupSetupHelp;
#else
    return [&registry](const std::string& missingFile) { return FileHelp(registry, missingFile); };
#endif
}
