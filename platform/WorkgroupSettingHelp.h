#pragma once

#include "convert/WorkgroupSetupHelp.h"

class SettingsRegistry;

// The help for the workgroup setting where this system keeps it: the registry on Windows; the
// user's settings file, and the program's default beside it, elsewhere. The registry must
// outlive the help.
WorkgroupSetupHelp SettingsWorkgroupSetupHelp(const SettingsRegistry& registry);
