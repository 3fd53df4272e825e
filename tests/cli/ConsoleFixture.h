#pragma once
// The console program's fixture: a source with one category and one phrase, an empty
// destination, a workgroup file and a stand-in registry.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/ConsoleProgram.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

// The completion message; the summary of what changed follows it.
inline std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class ConsoleProgram : public testing::Test {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Greetings");
        AddSourceItem(db, "I1", "hi", "{\\rtf1 Hello\\par}", {"K{1}"});
        WriteFileBytes(m_workgroup, "workgroup");
    }
    void TearDown() override { UseTestEngineSettings(); }

    Outcome Run(const std::vector<std::string>& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunConsoleProgram(arguments, m_registry, out, err);
        return {status, out.str(), err.str()};
    }
    int64_t Phrases() { return TestDb(m_destination).Count("tblPhrase"); }

    TempDir m_dir;
    std::string m_source = m_dir.File("am_pub.db");
    std::string m_destination = m_dir.File("phrases.db");
    std::string m_workgroup = m_dir.File("VELTRANE.MDW");
    FakeRegistry m_registry;
};
