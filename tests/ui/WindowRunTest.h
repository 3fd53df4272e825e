#pragma once

#include <QPushButton>
#include <string>

#include "platform/Profile.h"
#include "tests/support/TestDatabases.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CConvertDlg.h"

// A window with a workgroup, an empty source and destination already picked, and fakes for its
// boxes and file dialogs: the ground of the tests that press Start.
class WindowRunTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WriteWorkgroupLookup();
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
        profile.WriteProfileString("Paths", "Source", m_source);
        profile.WriteProfileString("Paths", "Destination", m_destination);
    }
    static QPushButton* Button(const CConvertDlg& dlg, int id) {
        return qobject_cast<QPushButton*>(dlg.GetDlgItem(id));
    }

    std::string m_source = m_data.File("am_pub.mdb");
    std::string m_destination = m_data.File("Scrivane.mdb");
    Profile profile{"Veltrane", "Tallowmere"};
    FakeMessages messages;
    FakeFileDialog files;
};
