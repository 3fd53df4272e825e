#include "tests/support/OdbcTestConfig.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void Section(std::ofstream& out, const std::string& name,
             const std::map<std::string, std::string>& keywords) {
    out << "[" << name << "]\n";
    for (const auto& [keyword, value] : keywords) out << keyword << "=" << value << "\n";
    out << "\n";
}

// Put in place while the process starts, before any test can make an ODBC call.
const bool kInPlace = (OdbcTestConfig::Instance(), true);

}  // namespace

std::string OdbcTestConfig::InstalledDriverLibrary(const std::string& name) {
    // Read from the file itself: asking the driver manager would fix its folder for good.
    const char* folder = std::getenv("ODBCSYSINI");
    std::ifstream in(std::string(folder != nullptr ? folder : "/etc") + "/odbcinst.ini");
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[" + name + "]";
        } else if (inSection && line.rfind("Driver", 0) == 0) {
            const auto equals = line.find('=');
            if (equals != std::string::npos && Trim(line.substr(0, equals)) == "Driver") {
                return Trim(line.substr(equals + 1));
            }
        }
    }
    return {};
}

bool OdbcTestConfig::HasAccessEmulation() {
#ifdef TALLOWMERE_ACCESS_EMULATION_DRIVER
    return true;
#else
    return false;
#endif
}

OdbcTestConfig& OdbcTestConfig::Instance() {
    static OdbcTestConfig config;
    return config;
}

OdbcTestConfig::OdbcTestConfig() {
    std::string pattern = (fs::temp_directory_path() / "tallowmere-odbc-XXXXXX").string();
    m_folder = mkdtemp(pattern.data()) != nullptr ? pattern : fs::temp_directory_path().string();
    const std::string sqlite = InstalledDriverLibrary("SQLite3");
    if (!sqlite.empty()) m_drivers["SQLite3"] = {{"Driver", sqlite}};
#ifdef TALLOWMERE_ACCESS_EMULATION_DRIVER
    m_drivers[kAccessEmulation] = {{"Driver", TALLOWMERE_ACCESS_EMULATION_DRIVER}};
#endif
    Write();
    setenv("ODBCSYSINI", m_folder.c_str(), 1);
    setenv("ODBCINI", (m_folder + "/user-odbc.ini").c_str(), 1);
}

// The folder goes when the process ends. Not an atexit handler registered from the constructor:
// that one would run after this object is gone.
OdbcTestConfig::~OdbcTestConfig() {
    std::error_code error;
    fs::remove_all(m_folder, error);
}

void OdbcTestConfig::AddDriver(const std::string& name,
                               const std::map<std::string, std::string>& keywords) {
    m_drivers[name] = keywords;
    Write();
}

void OdbcTestConfig::AddDataSource(const std::string& name,
                                   const std::map<std::string, std::string>& keywords) {
    m_sources[name] = keywords;
    Write();
}

void OdbcTestConfig::RemoveDataSource(const std::string& name) {
    m_sources.erase(name);
    Write();
}

void OdbcTestConfig::Write() const {
    std::ofstream drivers(m_folder + "/odbcinst.ini", std::ios::trunc);
    for (const auto& [name, keywords] : m_drivers) Section(drivers, name, keywords);
    std::ofstream sources(m_folder + "/odbc.ini", std::ios::trunc);
    for (const auto& [name, keywords] : m_sources) Section(sources, name, keywords);
    std::ofstream user(m_folder + "/user-odbc.ini", std::ios::trunc);
}

ScopedDataSource::ScopedDataSource(std::string name,
                                   const std::map<std::string, std::string>& keywords)
    : m_name(std::move(name)) {
    OdbcTestConfig::Instance().AddDataSource(m_name, keywords);
}

ScopedDataSource::~ScopedDataSource() { OdbcTestConfig::Instance().RemoveDataSource(m_name); }
