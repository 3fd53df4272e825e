#pragma once

#include <gtest/gtest.h>

#include <string>

#include "convert/StartCommand.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/TempDir.h"

// The Start button's work on a source and a destination in a scratch folder, with a host that
// records what it is told and a registry of the test's own. The engine's settings are the tests'
// before and after.
class StartCommandFixture : public testing::Test {
protected:
    void SetUp() override { UseTestEngineSettings(); }
    void TearDown() override { UseTestEngineSettings(); }

    TempDir m_dir;
    std::string m_source = m_dir.File("am_pub.db");
    std::string m_destination = m_dir.File("phrases.db");
    RecordingHost m_host;
    FakeRegistry m_registry;
    StartCommand m_start{m_host, m_registry};
};
