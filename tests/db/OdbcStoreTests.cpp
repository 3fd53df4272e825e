// The ODBC store's own pieces: how drivers' diagnostics become engine errors, the connection
// strings it forms, and the driver it falls back to.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "db/DaoException.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcError.h"
#include "db/odbc/OdbcTarget.h"
#include "db/odbc/OdbcText.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

struct MappingCase {
    const char* name;
    OdbcDiagnostic diagnostic;
    OdbcAction action;
    int32_t code;
};

void PrintTo(const MappingCase& c, std::ostream* out) { *out << c.name; }

constexpr const char* kAccess = "[Microsoft][ODBC Microsoft Access Driver] ";

class OdbcErrorMapping : public testing::TestWithParam<MappingCase> {};

TEST_P(OdbcErrorMapping, GivesTheEngineNumberAndKeepsTheDriversText) {
    const MappingCase& c = GetParam();
    EXPECT_EQ(EngineErrorNumber(c.diagnostic, c.action), c.code);
    try {
        ThrowOdbcError({{"01000", 0, "a warning first"}, c.diagnostic}, "C:\\data\\Scrivane.mdb",
                       c.action, "tblPhrase");
        FAIL() << "no error raised";
    } catch (const CDaoException& e) {
        const std::string& description = e.m_pErrorInfo->m_strDescription;
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, c.code) << description;
        EXPECT_NE(description.find(c.diagnostic.text), std::string::npos) << description;
        EXPECT_NE(description.find("C:\\data\\Scrivane.mdb"), std::string::npos) << description;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, OdbcErrorMapping,
    testing::Values(
        // The Access driver's Jet codes.
        MappingCase{"AccessDuplicateKey",
                    {"23000", -1605, std::string(kAccess) + "The changes you requested ..."},
                    OdbcAction::Write,
                    DaoError::DuplicateKey},
        MappingCase{"AccessTableNotFound",
                    {"42S02", -1305, std::string(kAccess) + "cannot find the input table 'tblX'"},
                    OdbcAction::Read,
                    DaoError::TableNotFound},
        MappingCase{"AccessMissingColumnIsTooFewParameters",
                    {"07002", -3010, std::string(kAccess) + "Too few parameters. Expected 1."},
                    OdbcAction::Read,
                    DaoError::ItemNotFound},
        MappingCase{"AccessFileNotFound",
                    {"HY024", -1811, std::string(kAccess) + "Could not find file"},
                    OdbcAction::Connect,
                    DaoError::FileNotFound},
        MappingCase{"AccessOpenedExclusively",
                    {"HY000", -1032, std::string(kAccess) + "cannot open the file"},
                    OdbcAction::Connect,
                    DaoError::NoPermission},
        // The SQLite driver's result codes for the same failures.
        MappingCase{"SqliteDuplicateKey",
                    {"HY000", 19, "[SQLite]UNIQUE constraint failed: tblPhrase.PhraseID (19)"},
                    OdbcAction::Write,
                    DaoError::DuplicateKey},
        MappingCase{"SqliteExtendedDuplicateKey",
                    {"HY000", 1555, "[SQLite]PRIMARY KEY constraint failed (1555)"},
                    OdbcAction::Write,
                    DaoError::DuplicateKey},
        MappingCase{"SqliteOtherConstraint",
                    {"HY000", 19, "[SQLite]NOT NULL constraint failed: tblPhrase.Data (19)"},
                    OdbcAction::Write,
                    DaoError::ValidationRule},
        MappingCase{"SqliteTableNotFound",
                    {"HY000", 1, "[SQLite]no such table: tblPhraseRelation (1)"},
                    OdbcAction::Read,
                    DaoError::TableNotFound},
        MappingCase{"SqliteColumnNotFound",
                    {"HY000", 1, "[SQLite]no such column: ShortDescription (1)"},
                    OdbcAction::Read,
                    DaoError::ItemNotFound},
        MappingCase{"SqliteSyntaxIsACallFailure",
                    {"HY000", 1, "[SQLite]near \"SELEC\": syntax error (1)"},
                    OdbcAction::Read,
                    DaoError::OdbcCallFailed},
        MappingCase{"SqliteMissingFile",
                    {"HY000", 14, "[SQLite]connect failed"},
                    OdbcAction::Connect,
                    DaoError::FileNotFound},
        MappingCase{"SqliteLockedWhileWriting",
                    {"HY000", 5, "[SQLite]database is locked (5)"},
                    OdbcAction::Write,
                    DaoError::Locked},
        MappingCase{"SqliteLockedAtCommit",
                    {"HY000", 5, "[SQLite]database is locked"},
                    OdbcAction::Commit,
                    DaoError::Locked},
        MappingCase{"SqliteLockedWhileReading",
                    {"HY000", 5, "[SQLite]database is locked (5)"},
                    OdbcAction::Read,
                    DaoError::FileInUse},
        MappingCase{"SqliteNotADatabase",
                    {"HY000", 26, "[SQLite]file is not a database (26)"},
                    OdbcAction::Read,
                    DaoError::UnrecognizedFormat},
        // Any driver, by SQLSTATE alone.
        MappingCase{"StateTableNotFound",
                    {"42S02", 208, "Invalid object name 'tblPhrase'."},
                    OdbcAction::Read,
                    DaoError::TableNotFound},
        MappingCase{"StateUniqueViolation",
                    {"23000", 2627, "Violation of UNIQUE KEY constraint"},
                    OdbcAction::Write,
                    DaoError::DuplicateKey},
        MappingCase{"StateTimeout",
                    {"HYT00", 0, "Lock request time out period exceeded"},
                    OdbcAction::Write,
                    DaoError::Locked},
        MappingCase{"MissingDataSource",
                    {"IM002", 0, "Data source name not found and no default driver specified"},
                    OdbcAction::Connect,
                    DaoError::OdbcConnectFailed},
        MappingCase{"UnknownFailure",
                    {"HY000", 77, "something else"},
                    OdbcAction::Write,
                    DaoError::OdbcCallFailed}),
    [](const testing::TestParamInfo<MappingCase>& info) { return std::string(info.param.name); });

// Every Jet number the Access driver gives for a fault of the user's file or action has the
// number DAO gives the same fault.
INSTANTIATE_TEST_SUITE_P(
    JetNumbers, OdbcErrorMapping,
    testing::Values(MappingCase{"ReadOnlyFile",
                                {"HY000", -1809,
                                 std::string(kAccess) + "Cannot update. Database or object is "
                                                        "read-only."},
                                OdbcAction::Write,
                                DaoError::ReadOnly},
                    MappingCase{"DiskFull",
                                {"HY000", -1808, std::string(kAccess) + "Disk full."},
                                OdbcAction::Commit,
                                DaoError::DiskFull},
                    MappingCase{"DiskError",
                                {"HY000", -1022, std::string(kAccess) + "Disk or network error."},
                                OdbcAction::Read,
                                DaoError::DiskIo},
                    MappingCase{
                        "NotAJetFile",
                        {"HY000", -1028, std::string(kAccess) + "Unrecognized database format."},
                        OdbcAction::Connect,
                        DaoError::UnrecognizedFormat},
                    MappingCase{"Locked",
                                {"HY000", -1102,
                                 std::string(kAccess) + "Could not update; currently "
                                                        "locked."},
                                OdbcAction::Write,
                                DaoError::Locked},
                    MappingCase{"TextTooLong",
                                {"22001", 0, std::string(kAccess) + "String data, right truncated"},
                                OdbcAction::Write,
                                DaoError::FieldTooSmall}),
    [](const testing::TestParamInfo<MappingCase>& info) { return std::string(info.param.name); });

TEST(OdbcError, JetOutOfMemoryIsTheMemoryException) {
    EXPECT_THROW(ThrowOdbcError({{"HY001", -1011, std::string(kAccess) + "Out of memory."}}, "db",
                                OdbcAction::Read),
                 CMemoryException);
}

TEST(OdbcText, CountsCharactersAsDriversDoAndNeverAltersText) {
    EXPECT_EQ(CharacterCount("abc"), 3u);
    EXPECT_EQ(CharacterCount("Жжж"), 3u);        // two bytes each
    EXPECT_EQ(CharacterCount("日本"), 2u);       // three bytes each
    EXPECT_EQ(CharacterCount("😀"), 2u);          // a UTF-16 pair
    EXPECT_EQ(CharacterCount("a\xff\xfe"), 3u);  // bytes that are no UTF-8 count one each
    for (const std::string text : {"", "plain", "Grüße – «x» 日本 😀"}) {
        EXPECT_EQ(TextFromWide(WideFromText(text)), text);
    }
    EXPECT_EQ(WideFromText("😀"), std::u16string(u"\U0001F600"));
    // Two different texts must never become one on the way to the driver.
    for (const char* invalid : {"\xff", "a\xc3", "\xed\xa0\x80", "\xc0\xaf"}) {
        EXPECT_THROW(WideFromText(invalid), CDaoException) << invalid;
    }
}

TEST(OdbcError, OutOfMemoryIsTheMemoryException) {
    EXPECT_THROW(ThrowOdbcError({{"HY001", 0, "Memory allocation error"}}, "db", OdbcAction::Read),
                 CMemoryException);
}

TEST(OdbcError, AFailedCommitSaysTheGroupWasLost) {
    try {
        ThrowOdbcError({{"HY000", 5, "[SQLite]database is locked"}}, "/data/d.db",
                       OdbcAction::Commit, "tblPhrase");
        FAIL() << "no error raised";
    } catch (const CDaoCommitException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::Locked);
        EXPECT_NE(std::string(e.what()).find("not saved"), std::string::npos) << e.what();
    }
}

TEST(OdbcConnectionString, ReadsBracedValuesAndKeywordsInAnyCase) {
    const std::string connection =
        "driver={Microsoft Access Driver (*.mdb)};DBQ={C:\\a;b}}c.mdb};"
        "UID=NKW; PWD =KT372";
    EXPECT_EQ(AttributeValue(connection, "Driver"), "Microsoft Access Driver (*.mdb)");
    EXPECT_EQ(AttributeValue(connection, "dbq"), "C:\\a;b}c.mdb");
    EXPECT_EQ(AttributeValue(connection, "PWD"), "KT372");
    EXPECT_EQ(AttributeValue(connection, "SystemDB"), "");
    EXPECT_EQ(OdbcDisplayName(connection), "C:\\a;b}c.mdb");
    // Without a file or data source the name shown is the string, never its password.
    EXPECT_EQ(OdbcDisplayName("Driver=X;Server=s;PWD=secret;UID=u"), "Driver=X;Server=s;UID=u");
    EXPECT_EQ(OdbcDisplayName("DSN=Scrivane"), "ODBC data source Scrivane");
}

TEST(OdbcConnectionString, SqliteDriverNeverCreatesAFileAndWaitsTheLockWait) {
    EXPECT_TRUE(IsOdbcDatabaseName("odbc;DSN=x"));
    EXPECT_FALSE(IsOdbcDatabaseName("ODBC.mdb"));
    EXPECT_EQ(DriverConnectionString(ResolveOdbcTarget("ODBC;Driver=SQLite3;Database=/d/s.db"),
                                     OdbcAccess::Write, 200),
              "Database=file:///d/s.db?mode=rw;NoCreat=1;Timeout=200;"
              "Driver=SQLite3;Database=/d/s.db");
    // The lock wait the name says stands; NoCreat=0 does not, as the engine never creates a file.
    EXPECT_EQ(DriverConnectionString(
                  ResolveOdbcTarget("ODBC;Driver={SQLite3};Database=/d/s.db;nocreat=0;timeout=9;"),
                  OdbcAccess::Write, 200),
              "Database=file:///d/s.db?mode=rw;NoCreat=1;"
              "Driver={SQLite3};Database=/d/s.db;nocreat=0;timeout=9;");
    EXPECT_EQ(
        DriverConnectionString(ResolveOdbcTarget("ODBC;DSN=Scrivane"), OdbcAccess::Write, 200),
        "DSN=Scrivane");
}

TEST(OdbcConnectionString, AccessStringCarriesTheWorkgroupAndLogon) {
    EXPECT_EQ(AccessConnectionString(kAccessDriver, "C:\\Data\\Scrivane.mdb",
                                     "C:\\Sys\\VELTRANE.MDW", "NKW", "KT372"),
              "Driver={Microsoft Access Driver (*.mdb)};DBQ=C:\\Data\\Scrivane.mdb;"
              "SystemDB=C:\\Sys\\VELTRANE.MDW;UID=NKW;PWD=KT372");
    EXPECT_EQ(AccessConnectionString(kAceDriver, "C:\\My;Data\\s.mdb", "", "", ""),
              "Driver={Microsoft Access Driver (*.mdb, *.accdb)};DBQ={C:\\My;Data\\s.mdb}");
}

class OdbcDriverFallback : public testing::Test {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateDestinationDb(m_path);
    }
    TempDir m_dir;
    std::string m_path = m_dir.File("d.db");
};

TEST_F(OdbcDriverFallback, TakesTheNextDriverWhenOneIsNotInstalled) {
    auto connection = OdbcConnection::ConnectFirstInstalled(
        {"Driver={No Such Driver};Database=" + m_path, "Driver=SQLite3;Database=" + m_path}, m_path,
        {"No Such Driver", "SQLite3"});
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->Name(), m_path);
}

TEST_F(OdbcDriverFallback, SaysWhichDriverToInstallWhenNoneIs) {
    try {
        OdbcConnection::ConnectFirstInstalled(
            {"Driver={No Such Driver};DBQ=" + m_path, "Driver={Nor This One};DBQ=" + m_path},
            m_path, {"No Such Driver", "Nor This One"});
        FAIL() << "connected without a driver";
    } catch (const CDaoException& e) {
        const std::string& description = e.m_pErrorInfo->m_strDescription;
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::OdbcConnectFailed);
        EXPECT_NE(description.find("\"No Such Driver\" or \"Nor This One\""), std::string::npos)
            << description;
        EXPECT_NE(description.find("Install"), std::string::npos) << description;
        EXPECT_NE(description.find(m_path), std::string::npos) << description;
    }
}

TEST_F(OdbcDriverFallback, AFailureOtherThanAMissingDriverIsReportedAtOnce) {
    const std::string missing = m_dir.File("missing.db");
    try {
        OdbcConnection::ConnectFirstInstalled(
            {"Driver=SQLite3;NoCreat=1;Database=" + missing, "Driver=SQLite3;Database=" + missing},
            missing, {"SQLite3"});
        FAIL() << "connected to a missing file";
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::FileNotFound) << e.what();
    }
    // The second string, which would have created the file, was never tried.
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// An ACE (.accdb) file only the Access Database Engine's driver opens; a Jet file either driver.
TEST(OdbcAccessDrivers, AnAccdbFileGoesToTheAceDriverOnly) {
    UseTestEngineSettings();
    TempDir dir;
    struct Case {
        StoreFormat format;
        const char* says;
        bool namesOldDriver;
    };
    for (const Case& c :
         {Case{StoreFormat::Ace, "\"Microsoft Access Driver (*.mdb, *.accdb)\" is", false},
          Case{StoreFormat::Jet4, "\"Microsoft Access Driver (*.mdb)\" or", true}}) {
        const std::string path = dir.File("file.db");
        WriteFileBytes(path, "x");
        try {
            OdbcConnection::Acquire(StoreFile{path, c.format, {1, 2}}, OdbcAccess::Read);
            FAIL() << "an Access driver is installed here";
        } catch (const CDaoException& e) {
            const std::string description = e.m_pErrorInfo->m_strDescription;
            EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::OdbcConnectFailed) << description;
            EXPECT_NE(description.find(c.says), std::string::npos) << description;
            const bool namesOldDriver =
                description.find("\"Microsoft Access Driver (*.mdb)\"") != std::string::npos;
            EXPECT_EQ(namesOldDriver, c.namesOldDriver) << description;
        }
    }
}

}  // namespace
