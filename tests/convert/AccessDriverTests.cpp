// Conversions through a driver that behaves as the Access ODBC driver does (tests/accessdriver),
// on the points where it is stricter than the SQLite driver: every row arrives as through the
// direct store, and a value that does not fit is refused whole.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "db/DaoEngine.h"
#include "db/DaoException.h"
#include "db/odbc/OdbcCalls.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/OdbcTestConfig.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

namespace fs = std::filesystem;

std::string Emulated(const std::string& path) {
    return "ODBC;Driver={" + std::string(OdbcTestConfig::kAccessEmulation) + "};Database=" + path;
}

// A destination as Access makes one: short texts are TEXT(255), the phrase's data a Memo.
void CreateAccessLikeDestination(const std::string& path) {
    TestDb(path).Exec(
        "CREATE TABLE tblCategory (CategoryID VARCHAR(255) COLLATE NOCASE NOT NULL PRIMARY KEY, "
        "Description VARCHAR(255), ZOrder SMALLINT DEFAULT 0, strCategoryID VARCHAR(255)); "
        "CREATE TABLE tblPhrase (PhraseID VARCHAR(255) COLLATE NOCASE NOT NULL PRIMARY KEY, "
        "CategoryID VARCHAR(255), Mnemonic VARCHAR(255), Data MEMO, ZOrder SMALLINT DEFAULT 0, "
        "PunctuationLeading SMALLINT DEFAULT 1, PunctuationTrailing SMALLINT DEFAULT 1)");
}

std::vector<std::string> Rows(const std::string& path) {
    TestDb db(path);
    std::vector<std::string> rows = db.Rows("SELECT * FROM tblCategory ORDER BY CategoryID");
    for (std::string& row : db.Rows("SELECT *, hex(Data) FROM tblPhrase ORDER BY PhraseID")) {
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string Repeated(const std::string& piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

class AccessDriver : public testing::Test {
protected:
    void SetUp() override {
        if (!OdbcTestConfig::HasAccessEmulation()) GTEST_SKIP() << "no Access driver emulation";
        UseTestEngineSettings();
        setenv("TALLOWMERE_ACCESS_EMULATION", "all", 1);
    }
    void TearDown() override {
        unsetenv("TALLOWMERE_ACCESS_EMULATION");
        UseOdbcWideCalls(false);
        UseTestEngineSettings();
    }
    // The same glossary converted directly and through the emulated driver.
    void ExpectSameRowsAsDirect(const std::string& directSource, const std::string& directDest,
                                const std::string& source, const std::string& destination) {
        RecordingHost direct;
        RunConversion(directSource, directDest, direct);
        RecordingHost host;
        RunConversion(Emulated(source), Emulated(destination), host);
        EXPECT_TRUE(host.messages.empty()) << host.Texts().front();
        ASSERT_FALSE(Rows(directDest).empty());
        EXPECT_EQ(Rows(destination), Rows(directDest));
    }
    TempDir m_dir;
};

// A commit closes every cursor of its connection (SQL_CB_CLOSE), and one file as source and
// destination is one file: the source's query must not be read on the connection that commits,
// here after every row.
TEST_F(AccessDriver, OneFileConvertsEveryRowWhileEachRowIsCommitted) {
    AfxDaoGetEngine()->SetWriteGroupInterval(std::chrono::milliseconds(0));
    const std::string direct = m_dir.File("direct.db");
    CreateSourceDb(direct);
    {
        TestDb db(direct);
        db.ExecFile(ResFile("destination-schema.sql"));
        for (int i = 0; i < 150; ++i) {
            const std::string id = "C{" + std::to_string(i) + "}";
            AddSourceCategory(db, id.c_str(), "Category");
            AddSourceItem(db, ("I" + std::to_string(i)).c_str(), "s", "{\\rtf1 Text\\par}",
                          {id.c_str()});
        }
    }
    const std::string both = m_dir.File("both.db");
    fs::copy_file(direct, both);
    ExpectSameRowsAsDirect(direct, direct, both, both);
    EXPECT_EQ(TestDb(both).Count("tblPhrase"), 150);
}

// TEXT(255) holds 255 characters, however many bytes they take; the driver takes no VARCHAR
// parameter over 255, and cuts a longer text without a word: the engine refuses it (3163).
struct FitCase {
    const char* name;
    std::size_t characters;
    bool fits;
};

void PrintTo(const FitCase& c, std::ostream* out) { *out << c.name; }

class AccessDriverTextSize : public AccessDriver, public testing::WithParamInterface<FitCase> {};

TEST_P(AccessDriverTextSize, NonAsciiTextFitsByItsCharactersAndIsNeverCut) {
    const FitCase& c = GetParam();
    const std::string source = m_dir.File("am_pub.db");
    const std::string destination = m_dir.File("phrases.db");
    CreateSourceDb(source);
    CreateAccessLikeDestination(destination);
    const std::string mnemonic = Repeated("Ж", c.characters);
    {
        TestDb db(source);
        AddSourceCategory(db, "K{1}", "Описание");
        AddSourceItem(db, "P1", mnemonic.c_str(), "plain", {"K{1}"});
    }
    RecordingHost host;
    try {
        RunConversion(Emulated(source), Emulated(destination), host);
        EXPECT_TRUE(c.fits) << "a " << c.characters << "-character text was written";
        EXPECT_EQ(TestDb(destination).Rows("SELECT Mnemonic FROM tblPhrase"),
                  std::vector<std::string>{mnemonic});
    } catch (const CDaoException& e) {
        EXPECT_FALSE(c.fits) << e.what();
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::FieldTooSmall) << e.what();
        EXPECT_NE(std::string(e.what()).find("Mnemonic"), std::string::npos) << e.what();
        EXPECT_TRUE(TestDb(destination).Rows("SELECT Mnemonic FROM tblPhrase").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, AccessDriverTextSize,
                         testing::Values(FitCase{"OneHundredFifty", 150, true},
                                         FitCase{"TwoHundredFiftyFive", 255, true},
                                         FitCase{"TwoHundredFiftySix", 256, false},
                                         FitCase{"ThreeHundred", 300, false}),
                         [](const testing::TestParamInfo<FitCase>& info) {
                             return std::string(info.param.name);
                         });

// Memo values shorter than a piece, whose first length indicator the driver overstates, and
// texts that are not ASCII, in a folder whose name is not ASCII either: through the wide entry
// points as on Windows, and through the narrow ones as elsewhere.
class AccessDriverTexts : public AccessDriver, public testing::WithParamInterface<bool> {};

TEST_P(AccessDriverTexts, ArriveAsThroughTheDirectStore) {
    UseOdbcWideCalls(GetParam());
    const fs::path folder = m_dir.Path() / "Glossar – Grüße 日本";
    fs::create_directories(folder);
    std::vector<std::string> paths;
    for (const char* name : {"direct-source.db", "direct-dest.db", "Quelle ä.db", "Ziel ß.db"}) {
        paths.push_back((folder / name).string());
    }
    for (std::size_t i = 0; i < paths.size(); i += 2) {
        CreateSourceDb(paths[i]);
        CreateDestinationDb(paths[i + 1]);
        TestDb db(paths[i]);
        AddSourceCategory(db, "Grüße{1}", "Begrüßung – «formal»");
        AddSourceItem(db, "Ä1", "kurz", Repeated("Привет, мир. ", 250).c_str(), {"Grüße{1}"});
        AddSourceItem(db, "I2", "日本語", "{\\rtf1 caf\\'e9 \\u8364? ok\\par}", {"Grüße{1}"});
        AddSourceItem(db, "I3", "😀 emoji", Repeated("x", 20000).c_str(), {"Grüße{1}"});
    }
    ExpectSameRowsAsDirect(paths[0], paths[1], paths[2], paths[3]);
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, AccessDriverTexts, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Wide" : "Narrow");
                         });

}  // namespace
