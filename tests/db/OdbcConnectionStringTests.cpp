// Connection strings as a user may type them, typos and hostile ones included: whatever the
// string, no message shows a password or what the program adds to the string, a refused run
// leaves no new file behind, and a driver is never given part of a string.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "db/DaoException.h"
#include "db/odbc/OdbcConnectionString.h"
#include "db/odbc/OdbcTarget.h"
#include "records/CDstTblPhrase.h"
#include "records/CSrcQryPhraseItem.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/OdbcTestConfig.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

namespace fs = std::filesystem;

// The folder the case works in and the data sources it may name.
struct CaseFolder {
    const TempDir& dir;
    std::string File(const std::string& name) const { return dir.File(name); }
};

struct HostileCase {
    const char* name;
    std::function<std::string(const CaseFolder&)> database;  // the name given to the engine
    bool asDestination;
    int32_t code;
    const char* says;  // a part of the description
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

std::string Padding(std::size_t length) { return std::string(length, 'x'); }

// The string that, once the engine's own keywords are added at its end, is 65,536 bytes longer
// than the start that names cut.db: a length kept in 16 bits would hand the driver that start.
std::string WrapsToCutName(const CaseFolder& f) {
    const std::string start = "Driver=SQLite3;Database=" + f.File("cut.db");
    const std::string added = ";NoCreat=1;Timeout=200";
    return "ODBC;" + start + Padding(65536 - added.size());
}

const HostileCase kCases[] = {
    {"UnclosedBraceAroundThePassword",
     [](const CaseFolder& f) {
         return "ODBC;Driver=SQLite3;Database={" + f.File("missing.db") + ";PWD=s3cr3t";
     },
     false, DaoError::OdbcConnectFailed, "never closed"},
    {"TabBeforeTheEqualsSign",
     [](const CaseFolder&) { return std::string("ODBC;Driver=NoSuch;PWD\t=s3cr3t"); }, false,
     DaoError::OdbcConnectFailed, "NoSuch"},
    {"BracedPasswordWithSemicolonInAnyCase",
     [](const CaseFolder&) {
         return std::string("ODBC;Driver=NoSuch;Server=db;pAsSwOrD = {s3c;r3t}}s3cr3t}");
     },
     false, DaoError::OdbcConnectFailed, "Server=db"},
    {"MissingFileThroughADataSource",
     [](const CaseFolder&) { return std::string("ODBC;DSN=MissingSource;PWD=s3cr3t"); }, false,
     DaoError::FileNotFound, "missing.db"},
    {"MissingDestinationThroughADataSource",
     [](const CaseFolder&) { return std::string("ODBC;DSN=MissingSource"); }, true,
     DaoError::FileNotFound, "missing.db"},
    {"BracedValueHoldingASemicolon",
     [](const CaseFolder& f) {
         return "ODBC;Driver=SQLite3;Database=" + f.File("missing.db") + ";Tag={a;b}";
     },
     true, DaoError::FileNotFound, "missing.db"},
    {"LongerThanADriverReadsWhole",
     [](const CaseFolder& f) {
         return "ODBC;Driver=SQLite3;Database=" + f.File("am_pub.db") + ";Tag=" + Padding(40000);
     },
     false, DaoError::OdbcConnectFailed, "bytes long"},
    {"LengthThatWrapsInSixteenBits", WrapsToCutName, true, 0, nullptr},
    {"UndefinedDataSource",
     [](const CaseFolder&) { return std::string("ODBC;DSN=NoSuchSource;UID=u;PWD=s3cr3t"); }, false,
     DaoError::OdbcConnectFailed, "data source name not found"},
};

class HostileConnectionString : public testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateSourceDb(m_dir.File("am_pub.db"));
    }
    TempDir m_dir;
    ScopedDataSource m_missing{"MissingSource",
                               {{"Driver", "SQLite3"}, {"Database", m_dir.File("missing.db")}}};
};

TEST_P(HostileConnectionString, IsRefusedWithoutShowingItsPasswordOrMakingAFile) {
    const HostileCase& c = GetParam();
    const std::string name = c.database(CaseFolder{m_dir});
    const auto filesBefore = std::distance(fs::directory_iterator(m_dir.Path()), {});
    try {
        if (c.asDestination) {
            CDstTblPhrase rs;
            rs.SetDBPath(name);
            rs.Open();
        } else {
            CSrcQryPhraseItem rs;
            rs.SetDBPath(name);
            rs.Open();
        }
        FAIL() << "opened";
    } catch (const CDaoException& e) {
        const std::string description = e.m_pErrorInfo->m_strDescription;
        if (c.code != 0) {
            EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, c.code) << description;
        }
        if (c.says != nullptr) {
            EXPECT_NE(description.find(c.says), std::string::npos) << description;
        }
        EXPECT_EQ(description.find("s3c"), std::string::npos) << description;
        EXPECT_EQ(description.find("r3t"), std::string::npos) << description;
        // What the engine adds to the string is its own business.
        for (const char* added : {"NoCreat", "StepAPI", "Timeout=", "mode=r"}) {
            EXPECT_EQ(description.find(added), std::string::npos) << description;
        }
        EXPECT_LT(description.size(), 2000u) << "the message repeats the whole string";
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), filesBefore)
        << "a refused open left a file behind";
    EXPECT_FALSE(fs::exists(m_dir.File("missing.db")));
    EXPECT_FALSE(fs::exists(m_dir.File("cut.db")));
}

INSTANTIATE_TEST_SUITE_P(Strings, HostileConnectionString, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HostileCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(OdbcPasswordMask, HidesEveryPasswordWhateverItsSpellingAndTheStringsShape) {
    struct Case {
        const char* text;
        const char* masked;
    };
    const Case cases[] = {
        {"Driver=X;PWD=a1;UID=u", "Driver=X;PWD=***;UID=u"},
        {"password = {a;b}}c};UID=u", "password =***;UID=u"},
        {"Database={m.db;Pwd\t=a1;x=1", "Database={m.db;Pwd\t=***;x=1"},
        {"PWD={never closed;UID=u", "PWD=***"},
        {"OldPassword=a1", "OldPassword=***"},
        {"Database=/home/pwd/x.db", "Database=/home/pwd/x.db"},
    };
    for (const Case& c : cases) EXPECT_EQ(MaskPasswords(c.text), c.masked) << c.text;
}

TEST(OdbcTarget, ReadsTheDriverAndFileOfADataSourceAndTheUsersString) {
    const ScopedDataSource glossary("Glossary",
                                    {{"Driver", "SQLite3"}, {"Database", "/data/am_pub.db"}});
    const OdbcTarget dsn = ResolveOdbcTarget("ODBC;DSN=Glossary");
    EXPECT_EQ(dsn.kind, OdbcDriverKind::Sqlite);
    EXPECT_EQ(dsn.file, "/data/am_pub.db");
    EXPECT_EQ(dsn.shown, "ODBC data source Glossary");
    // The string's own file comes before the data source's.
    EXPECT_EQ(ResolveOdbcTarget("ODBC;DSN=Glossary;Database=/x/y.db").file, "/x/y.db");
    const OdbcTarget access =
        ResolveOdbcTarget("ODBC;Driver={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=C:\\a.mdb");
    EXPECT_EQ(access.kind, OdbcDriverKind::Access);
    EXPECT_EQ(access.file, "C:\\a.mdb");
    EXPECT_EQ(ResolveOdbcTarget("ODBC;Driver=PostgreSQL;Server=s").kind, OdbcDriverKind::Other);
}

TEST(OdbcTarget, PutsTheEnginesOwnKeywordsFirstWhereTheDriverReadsThem) {
    OdbcTarget sqlite = ResolveOdbcTarget("ODBC;Driver=SQLite3;Database=/d/a;b?#%.db;NoCreat=0");
    sqlite.file = "/d/a;b?#%.db";
    EXPECT_EQ(DriverConnectionString(sqlite, OdbcAccess::Read, 200),
              "Database=file:///d/a%3Bb%3F%23%25.db?mode=ro;NoCreat=1;StepAPI=0;Timeout=200;"
              "Driver=SQLite3;Database=/d/a;b?#%.db;NoCreat=0");
    const OdbcTarget relative = ResolveOdbcTarget("ODBC;Driver=SQLite3;Database=d.db;Timeout=9");
    EXPECT_EQ(DriverConnectionString(relative, OdbcAccess::Write, 200),
              "Database=file:d.db?mode=rw;NoCreat=1;Driver=SQLite3;Database=d.db;Timeout=9");
    const OdbcTarget access =
        ResolveOdbcTarget("ODBC;Driver={Microsoft Access Driver (*.mdb)};DBQ=a.mdb;ReadOnly=0");
    EXPECT_EQ(DriverConnectionString(access, OdbcAccess::Read, 200),
              "ReadOnly=1;Driver={Microsoft Access Driver (*.mdb)};DBQ=a.mdb;ReadOnly=0");
    EXPECT_EQ(DriverConnectionString(access, OdbcAccess::Write, 200),
              "Driver={Microsoft Access Driver (*.mdb)};DBQ=a.mdb;ReadOnly=0");
    // A name the driver would cut is refused, never shortened.
    OdbcTarget deep = sqlite;
    deep.file = "/" + Padding(kLongestSqliteDatabase);
    EXPECT_THROW(DriverConnectionString(deep, OdbcAccess::Write, 200), CDaoException);
}

}  // namespace
