#pragma once

#include <map>
#include <string>

// The test process's own ODBC configuration: the driver manager reads its drivers and data
// sources from a scratch folder (ODBCSYSINI, ODBCINI), set before the process's first ODBC call
// because the driver manager keeps the folder it first found. It registers the machine's SQLite3
// driver under the same name; tests add drivers and data sources of their own to it. Linking a
// test that uses it is enough to put it in place.
class OdbcTestConfig {
public:
    // The driver that behaves as the Access driver over SQLite files (tests/accessdriver), where
    // it is built.
    static constexpr const char* kAccessEmulation = "SQLite3 Access Emulation";
    static bool HasAccessEmulation();

    static OdbcTestConfig& Instance();

    // A driver section of odbcinst.ini (Driver= its library), or a data source of odbc.ini.
    void AddDriver(const std::string& name, const std::map<std::string, std::string>& keywords);
    void AddDataSource(const std::string& name, const std::map<std::string, std::string>& keywords);
    void RemoveDataSource(const std::string& name);

    const std::string& Folder() const { return m_folder; }
    // The library of a driver the machine's own configuration registers, "" when none.
    static std::string InstalledDriverLibrary(const std::string& name);

private:
    OdbcTestConfig();
    ~OdbcTestConfig();
    void Write() const;

    std::string m_folder;
    std::map<std::string, std::map<std::string, std::string>> m_drivers;
    std::map<std::string, std::map<std::string, std::string>> m_sources;
};

// A data source defined for the life of the object.
class ScopedDataSource {
public:
    ScopedDataSource(std::string name, const std::map<std::string, std::string>& keywords);
    ~ScopedDataSource();
    ScopedDataSource(const ScopedDataSource&) = delete;
    ScopedDataSource& operator=(const ScopedDataSource&) = delete;

private:
    std::string m_name;
};
