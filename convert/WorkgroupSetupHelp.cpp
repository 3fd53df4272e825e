#include "convert/WorkgroupSetupHelp.h"

#include "db/EngineStart.h"

std::string DescribeWorkgroupSetup(const std::string& missingFile, const std::string& setting,
                                   const std::string& howToSet) {
    std::string help;
    if (missingFile.empty()) {
        help = "The folder of the workgroup information file, VELTRANE.MDW, is read from " +
               setting + "\nIt is not set.\n";
    } else {
        help = "The workgroup information file " + missingFile +
               " is missing. Its folder is read from " + setting + "\n";
    }
    return help + howToSet;
}

std::string RegistryWorkgroupSetupHelp(const std::string& missingFile) {
    const std::string key = std::string("HKEY_CURRENT_USER\\") + kWorkgroupLookupKey;
    return DescribeWorkgroupSetup(
        missingFile, "the registry value " + std::string(kWorkgroupLookupValue) + " under " + key,
        "The applications that own the workgroup set it when they are installed. To set it by "
        "hand, name the folder that holds VELTRANE.MDW:\n"
        "  reg add \"" +
            key + "\" /v " + kWorkgroupLookupValue + " /d \"C:\\folder\"");
}
