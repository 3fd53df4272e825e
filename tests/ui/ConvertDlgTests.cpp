// The main dialog driven as a user would: paths, browsing, the profile, Start and the keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <ostream>

#include "platform/Profile.h"
#include "platform/SettingsRegistry.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/StoreKinds.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CConvertDlg.h"

namespace {

std::string FieldText(const CConvertDlg& dlg, int id) {
    return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id))->text().toStdString();
}

QPushButton* Button(const CConvertDlg& dlg, int id) {
    return qobject_cast<QPushButton*>(dlg.GetDlgItem(id));
}

class ConvertDlgTest : public UiTest {
protected:
    ConvertDlgServices Services() { return {&messages, &files, nullptr}; }

    // A source with one category and one phrase item, and an empty destination.
    void MakeDatabases(const std::string& source, const std::string& destination) {
        CreateSourceDb(source);
        TestDb db(source);
        AddSourceCategory(db, "Cardiology {C1}", "Heart");
        AddSourceItem(db, "I1", "bp", "blood pressure", {"Cardiology {C1}"});
        CreateDestinationDb(destination);
    }
    // Demo databases at these paths, remembered in the profile as the last ones browsed to.
    void MakeRememberedDatabases(const std::string& source, const std::string& destination) {
        MakeDatabases(source, destination);
        profile.WriteProfileString("Paths", "Source", source);
        profile.WriteProfileString("Paths", "Destination", destination);
    }

    Profile profile{"Veltrane", "Tallowmere"};
    FakeMessages messages;
    FakeFileDialog files;
};

TEST_F(ConvertDlgTest, FirstLaunchShowsTheDefaultsAndWritesNothing) {
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(FieldText(dlg, IDC_SOURCE), "C:\\Program Files\\Veltrane\\Data\\Main\\am_pub.mdb");
    EXPECT_EQ(FieldText(dlg, IDC_DESTINATION),
              "C:\\Program Files\\Veltrane\\Scrivane\\Scrivane.mdb");
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(IDC_SOURCE));
    EXPECT_TRUE(Button(dlg, IDC_START)->isEnabled());
    dlg.OnCancel();
    EXPECT_FALSE(ProfileFileExists());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConvertDlgTest, AStoredEmptyPathIsUsedUnchanged) {
    profile.WriteProfileString("Paths", "Source", "");
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(FieldText(dlg, IDC_SOURCE), "");
    EXPECT_EQ(dlg.SourcePath(), "");
    EXPECT_EQ(FieldText(dlg, IDC_DESTINATION), kDefaultDestination);
}

TEST_F(ConvertDlgTest, TypingIntoAPathFieldChangesNothing) {
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    QTest::keyClicks(dlg.GetDlgItem(IDC_DESTINATION), "xyz");
    QTest::keyClick(dlg.GetDlgItem(IDC_DESTINATION), Qt::Key_Backspace);
    EXPECT_EQ(FieldText(dlg, IDC_DESTINATION), kDefaultDestination);
}

struct BrowseCase {
    int button;
    int field;
    int otherField;
    const char* entry;
    const char* filter;
};

class BrowseTest : public ConvertDlgTest, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(BrowseTest, OffersTheRightFilesStartingFromTheCurrentPath) {
    const BrowseCase& c = GetParam();
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    const std::string before = FieldText(dlg, c.field);
    Button(dlg, c.button)->click();
    ASSERT_EQ(files.requests.size(), 1u);
    const OpenFileRequest& request = files.requests[0];
    EXPECT_TRUE(request.openMode);
    EXPECT_EQ(request.flags, OFN_NOVALIDATE);
    EXPECT_EQ(request.defaultExtension, "mdb");
    EXPECT_EQ(request.filter.rfind(c.filter, 0), 0u) << request.filter;  // its own kind first
    EXPECT_EQ(request.fileName, before);
    EXPECT_EQ(request.owner, &dlg);
}

TEST_P(BrowseTest, ACancelledBrowseChangesNothing) {
    const BrowseCase& c = GetParam();
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    const std::string before = FieldText(dlg, c.field);
    Button(dlg, c.button)->click();
    EXPECT_EQ(FieldText(dlg, c.field), before);
    EXPECT_EQ(c.field == IDC_SOURCE ? dlg.SourcePath() : dlg.DestinationPath(), before);
    EXPECT_FALSE(ProfileFileExists());
}

TEST_P(BrowseTest, AChosenFileIsShownAndSurvivesARestart) {
    const BrowseCase& c = GetParam();
    const std::string chosen = m_data.File("chosen.mdb");
    files.answers = {chosen};
    std::string otherBefore;
    {
        CConvertDlg dlg(profile, Services());
        ASSERT_TRUE(dlg.Initialize());
        otherBefore = FieldText(dlg, c.otherField);
        Button(dlg, c.button)->click();
        EXPECT_EQ(FieldText(dlg, c.field), chosen);
        EXPECT_EQ(c.field == IDC_SOURCE ? dlg.SourcePath() : dlg.DestinationPath(), chosen);
        EXPECT_EQ(FieldText(dlg, c.otherField), otherBefore);
        // Written at once, not when the dialog closes.
        EXPECT_EQ(Profile("Veltrane", "Tallowmere").GetProfileString("Paths", c.entry, "?"),
                  chosen);
    }
    Profile restarted("Veltrane", "Tallowmere");
    CConvertDlg dlg(restarted, Services());
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(FieldText(dlg, c.field), chosen);
    EXPECT_EQ(FieldText(dlg, c.otherField), otherBefore);
}

INSTANTIATE_TEST_SUITE_P(
    BothPaths, BrowseTest,
    ::testing::Values(BrowseCase{IDC_BROWSE_SOURCE, IDC_SOURCE, IDC_DESTINATION, "Source",
                                 "Ambrell Databases (am_pub.mdb)|am_pub.mdb|"},
                      BrowseCase{IDC_BROWSE_DESTINATION, IDC_DESTINATION, IDC_SOURCE, "Destination",
                                 "Scrivane Databases (*.mdb)|*.mdb|"}),
    [](const auto& info) { return std::string(info.param.entry); });

TEST_F(ConvertDlgTest, ACopyUnderAnotherNameKeepsAProfileOfItsOwn) {
    files.answers = {m_data.File("mine.mdb")};
    {
        CConvertDlg dlg(profile, Services());
        ASSERT_TRUE(dlg.Initialize());
        Button(dlg, IDC_BROWSE_SOURCE)->click();
    }
    Profile copy("Veltrane", "TallowmereCopy");
    CConvertDlg dlg(copy, Services());
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(FieldText(dlg, IDC_SOURCE), kDefaultSource);
    EXPECT_FALSE(ProfileFileExists("TallowmereCopy"));
}

TEST_F(ConvertDlgTest, EnterOnAPathFieldEndsTheDialogAndEscapeCancelsIt) {
    {
        CConvertDlg dlg(profile, Services());
        ASSERT_TRUE(dlg.Initialize());
        dlg.show();
        QTest::keyClick(dlg.GetDlgItem(IDC_SOURCE), Qt::Key_Return);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_FALSE(dlg.isVisible());
    }
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    QTest::keyClick(dlg.GetDlgItem(IDC_DESTINATION), Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(ProfileFileExists());
}

TEST_F(ConvertDlgTest, EnterOnAFocusedButtonPressesThatButton) {
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.GetDlgItem(IDC_BROWSE_DESTINATION)->setFocus();
    QTest::keyClick(dlg.GetDlgItem(IDC_BROWSE_DESTINATION), Qt::Key_Return);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].filter, kDestinationFilter);
    EXPECT_TRUE(dlg.isVisible());
    dlg.OnCancel();
}

// Start ---------------------------------------------------------------------------------------

TEST_F(ConvertDlgTest, StartConvertsAndSaysSoWithTheWaitCursorOnlyWhileItRuns) {
    WriteWorkgroupLookup();
    const std::string source = m_data.File("am_pub.mdb");
    const std::string destination = m_data.File("Scrivane.mdb");
    MakeRememberedDatabases(source, destination);
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();

    std::vector<bool> waitCursorUp;
    messages.onShow = [&] {
        const QCursor* cursor = QApplication::overrideCursor();
        waitCursorUp.push_back(cursor != nullptr && cursor->shape() == Qt::WaitCursor);
    };
    Button(dlg, IDC_START)->click();

    ASSERT_EQ(messages.shown.size(), 1u) << messages.shown.front().text;
    EXPECT_TRUE(messages.shown[0].owned);
    EXPECT_EQ(messages.shown[0].text, "Conversion complete!");
    EXPECT_EQ(messages.shown[0].caption, "Tallowmere");
    EXPECT_EQ(messages.shown[0].style, MB_OK);
    EXPECT_EQ(waitCursorUp, std::vector<bool>{true});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Button(dlg, IDC_START)->isEnabled());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.Start().Workspace(), nullptr);

    TestDb out(destination);
    EXPECT_EQ(out.Count("tblCategory"), 1);
    EXPECT_EQ(out.Count("tblPhrase"), 1);
    EXPECT_EQ(out.Rows("SELECT strCategoryID FROM tblCategory"), std::vector<std::string>{"{C1}"});
    dlg.OnCancel();
}

// An ODBC connection string in a path field is shown and used as it stands.
TEST_F(ConvertDlgTest, ConnectionStringsAreShownAndUsedAsTheyStand) {
    if (!kSqliteOdbcDriverInstalled) GTEST_SKIP() << kNoSqliteOdbcDriver;
    WriteWorkgroupLookup();
    const std::string source = m_data.File("am_pub.db");
    const std::string destination = m_data.File("Scrivane.db");
    MakeDatabases(source, destination);
    const std::string sourceName = "ODBC;Driver=SQLite3;Database=" + source;
    const std::string destinationName =
        "ODBC;Driver={SQLite3};Database=" + destination + ";NoCreat=1";
    profile.WriteProfileString("Paths", "Source", sourceName);
    profile.WriteProfileString("Paths", "Destination", destinationName);
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    EXPECT_EQ(FieldText(dlg, IDC_SOURCE), sourceName);
    EXPECT_EQ(FieldText(dlg, IDC_DESTINATION), destinationName);
    dlg.show();
    Button(dlg, IDC_START)->click();
    ASSERT_EQ(messages.shown.size(), 1u) << messages.shown.front().text;
    EXPECT_EQ(messages.shown[0].text, "Conversion complete!");
    EXPECT_EQ(TestDb(destination).Rows("SELECT PhraseID, CategoryID FROM tblPhrase"),
              std::vector<std::string>{"I1|{C1}"});
    dlg.OnCancel();
}

TEST_F(ConvertDlgTest, StartWithAMissingSourceReportsTheEngineErrorAndStaysUsable) {
    WriteWorkgroupLookup();
    const std::string destination = m_data.File("Scrivane.mdb");
    CreateDestinationDb(destination);
    const std::string missing = m_data.File("nowhere/am_pub.mdb");
    profile.WriteProfileString("Paths", "Source", missing);
    profile.WriteProfileString("Paths", "Destination", destination);
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();

    Button(dlg, IDC_START)->click();

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(messages.shown[0].owned);
    EXPECT_EQ(messages.shown[0].caption, "Tallowmere");
    EXPECT_NE(messages.shown[0].text.find("nowhere"), std::string::npos) << messages.shown[0].text;
    EXPECT_TRUE(Button(dlg, IDC_START)->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_NE(dlg.Start().Workspace(), nullptr);  // the failed run skips the workspace close
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);

    // Still usable: a second Start reports the same way.
    Button(dlg, IDC_START)->click();
    EXPECT_EQ(messages.shown.size(), 2u);
    dlg.OnCancel();
}

TEST_F(ConvertDlgTest, AMissingLookupKeyShowsOnlyItsOwnMessage) {
    const std::string source = m_data.File("am_pub.mdb");
    const std::string destination = m_data.File("Scrivane.mdb");
    MakeRememberedDatabases(source, destination);
    SettingsRegistry withoutDefaults(QStringList{});
    CConvertDlg dlg(profile, {&messages, &files, &withoutDefaults});
    ASSERT_TRUE(dlg.Initialize());

    Button(dlg, IDC_START)->click();

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].owned);
    EXPECT_EQ(messages.shown[0].caption, "Ferrowick");
    EXPECT_EQ(TestDb(destination).Count("tblCategory"), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Button(dlg, IDC_START)->isEnabled());
}

// However a run ends (completed, or an engine error inside the copy passes) and however it was
// started, Start is enabled again and has the focus, so the next Enter starts another run instead
// of closing the program.
struct StartAgainCase {
    const char* name;
    bool keyboard;
    bool failing;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const StartAgainCase& c, std::ostream* out) { *out << c.name; }

class StartAgainTest : public ConvertDlgTest,
                       public ::testing::WithParamInterface<StartAgainCase> {};

TEST_P(StartAgainTest, StartIsEnabledAndFocusedAfterTheRun) {
    const StartAgainCase& c = GetParam();
    WriteWorkgroupLookup();
    const std::string source = m_data.File("am_pub.mdb");
    const std::string destination = m_data.File("Scrivane.mdb");
    MakeRememberedDatabases(source, destination);
    if (c.failing) {
        // The category pass seeks the second row and cannot read its number: an engine error
        // mid-run (the first row, read when the table opens, is sound).
        TestDb(destination)
            .Exec(
                "INSERT INTO tblCategory (CategoryID, Description, ZOrder) VALUES ('A{0}', "
                "'sound', 1), ('Cardiology {C1}', 'x', 'abc')");
    }
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    QPushButton* start = Button(dlg, IDC_START);
    if (c.keyboard) {
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Return);
    } else {
        QTest::mouseClick(start, Qt::LeftButton);
    }

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text == "Conversion complete!", !c.failing)
        << messages.shown[0].text;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(dlg.focusWidget(), start);

    QTest::keyClick(dlg.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    dlg.OnCancel();
}

INSTANTIATE_TEST_SUITE_P(Runs, StartAgainTest,
                         ::testing::Values(StartAgainCase{"MouseCompleted", false, false},
                                           StartAgainCase{"KeyboardCompleted", true, false},
                                           StartAgainCase{"MouseFailed", false, true},
                                           StartAgainCase{"KeyboardFailed", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A path of more than 255 characters: Start uses it whole; only the OK command refuses it.
TEST_F(ConvertDlgTest, AnOverLongPathIsUsedInFullAndRefusedOnlyByOk) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows refuses paths this long to programs that do not declare long paths "
                    "(3044 names the path).";
#endif
    WriteWorkgroupLookup();
    const std::filesystem::path deep =
        m_data.Path() / std::string(120, 'a') / std::string(120, 'b');
    std::filesystem::create_directories(deep);
    const std::string source = (deep / "am_pub.mdb").string();
    ASSERT_GT(source.size(), 255u);
    const std::string destination = m_data.File("Scrivane.mdb");
    MakeRememberedDatabases(source, destination);
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    EXPECT_EQ(FieldText(dlg, IDC_SOURCE), source);

    Button(dlg, IDC_START)->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Conversion complete!");
    EXPECT_EQ(TestDb(destination).Count("tblCategory"), 1);

    dlg.GetDlgItem(IDC_DESTINATION)->setFocus();
    QTest::keyClick(dlg.GetDlgItem(IDC_DESTINATION), Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_FALSE(messages.shown[1].owned);
    EXPECT_NE(messages.shown[1].text.find("255"), std::string::npos);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(IDC_SOURCE));
    EXPECT_EQ(FieldText(dlg, IDC_SOURCE), source);
    dlg.OnCancel();
}

TEST_F(ConvertDlgTest, OkChecksTheDestinationFieldFirst) {
    profile.WriteProfileString("Paths", "Source", std::string(256, 's'));
    profile.WriteProfileString("Paths", "Destination", std::string(256, 'd'));
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.OnOK();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(IDC_DESTINATION));
    EXPECT_TRUE(dlg.isVisible());
    dlg.OnCancel();
}

TEST_F(ConvertDlgTest, OkAcceptsPathsOfExactly255Characters) {
    profile.WriteProfileString("Paths", "Source", std::string(255, 's'));
    CConvertDlg dlg(profile, Services());
    ASSERT_TRUE(dlg.Initialize());
    dlg.show();
    dlg.OnOK();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

}  // namespace
