// Destinations whose schema could turn the engine's writes into other changes: a column that
// shadows the row identity, conflict clauses, unique indexes of their own, UTF-16 text, and a
// path too long for the store. Each converts right or is refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "db/DaoEngine.h"
#include "tests/robustness/Robustness.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

namespace fs = std::filesystem;

struct SchemaCase {
    const char* name;
    const char* before;  // run on the empty file before the tables are made
    std::vector<std::pair<std::string, std::string>> edits;  // changes to the shipped schema
    const char* after;                                       // run once the rows are in
    int daoCode;  // 0: converts exactly as into the shipped schema
    std::vector<const char*> inMessage;
    std::function<void(TestDb&)> check;  // what must still hold afterwards
};

int64_t CountWhere(TestDb& db, const std::string& sql) { return std::stoll(db.Rows(sql).at(0)); }

const SchemaCase kSchemaCases[] = {
    {"ColumnNamedRowid",
     "",
     {},
     "ALTER TABLE tblPhrase ADD COLUMN RowID INTEGER DEFAULT 1;"
     "ALTER TABLE tblCategory ADD COLUMN rowid TEXT DEFAULT 'x'",
     0,
     {},
     nullptr},
    {"ColumnsNamedRowidAndOid",
     "",
     {},
     "ALTER TABLE tblPhrase ADD COLUMN ROWID INTEGER DEFAULT 1;"
     "ALTER TABLE tblPhrase ADD COLUMN Oid INTEGER DEFAULT 1",
     0,
     {},
     nullptr},
    {"AllThreeIdentityNamesShadowed",
     "",
     {},
     "ALTER TABLE tblPhrase ADD COLUMN rowid INTEGER DEFAULT 1;"
     "ALTER TABLE tblPhrase ADD COLUMN _rowid_ INTEGER DEFAULT 1;"
     "ALTER TABLE tblPhrase ADD COLUMN oid INTEGER DEFAULT 1",
     3251,
     {"tblPhrase", "rowid, _rowid_ and oid"},
     nullptr},
    // Pass 3 cuts 'Mine{M-1}tail' to the key of the user's own 'Mine{M-1}'.
    {"CategoryKeyReplacesOnConflict",
     "",
     {{"NOT NULL PRIMARY KEY,\n    Description",
       "NOT NULL PRIMARY KEY ON CONFLICT REPLACE,\n"
       "    Description"}},
     "INSERT INTO tblCategory (CategoryID, Description) VALUES ('Mine{M-1}', 'Mine'), "
     "('Mine{M-1}tail', 'Tail')",
     3022,
     {"'Mine{M-1}'", "'PrimaryKey'", "'tblCategory'"},
     [](TestDb& db) {
         EXPECT_EQ(CountWhere(db,
                              "SELECT count(*) FROM tblCategory WHERE Description IN "
                              "('Mine', 'Tail')"),
                   2);
     }},
    // Pass 2 copies the source's 'bp' next to the user's own phrase with that mnemonic.
    {"MnemonicReplacesOnConflict",
     "",
     {{"Mnemonic TEXT,", "Mnemonic TEXT UNIQUE ON CONFLICT REPLACE,"}},
     "INSERT INTO tblPhrase (PhraseID, Mnemonic, Data) VALUES ('Own', 'bp', 'Own text')",
     3022,
     {"'bp'", "'tblPhrase'"},
     [](TestDb& db) {
         EXPECT_EQ(db.Rows("SELECT Data FROM tblPhrase WHERE PhraseID = 'Own'"),
                   std::vector<std::string>{"Own text"});
     }},
    {"MnemonicIgnoredOnConflict",
     "",
     {{"Mnemonic TEXT,", "Mnemonic TEXT UNIQUE ON CONFLICT IGNORE,"}},
     "INSERT INTO tblPhrase (PhraseID, Mnemonic, Data) VALUES ('Own', 'bp', 'Own text')",
     3022,
     {"'bp'"},
     nullptr},
    {"UniqueIndexOnAnotherColumn",
     "",
     {},
     "CREATE UNIQUE INDEX UniqueMnemonic ON tblPhrase (Mnemonic);"
     "INSERT INTO tblPhrase (PhraseID, Mnemonic, Data) VALUES ('Own', 'bp', 'Own text')",
     3022,
     {"key 'bp' in the index 'UniqueMnemonic'"},
     nullptr},
    // The source's 'ITEM\xE9' and 'ITEM\xE8' would both become 'ITEM\uFFFD' there.
    {"Utf16Text", "PRAGMA encoding = 'UTF-16le'", {}, "", 3251, {"UTF-16"}, nullptr},
};

class DestinationSchemas : public ::testing::Test {
protected:
    void SetUp() override {
        AfxDaoInit();
        MakeSmallGlossary(m_source, m_plain);
        {
            TestDb db(m_source);
            AddSourceItem(db, "ITEM\xE9", "e-acute", "One", {"{Plain-3}"});
            AddSourceItem(db, "ITEM\xE8", "e-grave", "Two", {"{Plain-3}"});
        }
        fs::copy_file(m_plain, m_expected);
        const ConsoleRun run = ConvertInProcess(m_source, m_expected);
        ASSERT_EQ(run.status, 0) << run.err;
    }
    // The plain destination's rows in a file made with the case's schema.
    void MakeDestination(const SchemaCase& schema, const std::string& path) {
        std::string sql = ReadFileBytes(ResFile("destination-schema.sql"));
        for (const auto& [from, to] : schema.edits) {
            const auto at = sql.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            sql.replace(at, from.size(), to);
        }
        TestDb db(path);
        if (*schema.before != '\0') db.Exec(schema.before);
        db.Exec(sql);
        // Files of another text encoding cannot be attached; those start empty.
        if (*schema.before == '\0') {
            db.Exec("ATTACH '" + m_plain + "' AS plain");
            db.Exec(
                "INSERT INTO tblCategory (CategoryID, Description, ZOrder, strCategoryID) "
                "SELECT CategoryID, Description, ZOrder, strCategoryID FROM plain.tblCategory;"
                "INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data, ZOrder, "
                "PunctuationLeading, PunctuationTrailing) SELECT PhraseID, CategoryID, Mnemonic, "
                "Data, "
                "ZOrder, PunctuationLeading, PunctuationTrailing FROM plain.tblPhrase");
            db.Exec("DETACH plain");
        }
        if (*schema.after != '\0') db.Exec(schema.after);
    }

    TempDir m_dir;
    std::string m_source = m_dir.File("source.db");
    std::string m_plain = m_dir.File("plain.db");
    std::string m_expected = m_dir.File("expected.db");
};

TEST_F(DestinationSchemas, ConvertRightOrAreRefusedWithoutLosingARow) {
    for (const SchemaCase& schema : kSchemaCases) {
        SCOPED_TRACE(schema.name);
        const std::string destination = m_dir.File(std::string(schema.name) + ".db");
        MakeDestination(schema, destination);
        const std::string before = ReadFileBytes(destination);
        const ConsoleRun run = ConvertInProcess(m_source, destination);
        if (schema.daoCode == 0) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(DestinationContent(destination), DestinationContent(m_expected));
        } else {
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_EQ(DaoCodeIn(run.err), schema.daoCode) << run.err;
            EXPECT_NE(run.err.find(destination), std::string::npos) << run.err;
            for (const char* words : schema.inMessage) {
                EXPECT_NE(run.err.find(words), std::string::npos) << words << " in " << run.err;
            }
            // A file refused at its opening is left as it was.
            if (schema.daoCode == 3251) {
                EXPECT_EQ(ReadFileBytes(destination), before);
            }
        }
        TestDb db(destination);
        if (schema.check) schema.check(db);
        EXPECT_EQ(IntegrityCheck(destination), "ok");
    }
}

TEST_F(DestinationSchemas, APathTooLongForTheStoreSaysSo) {
    std::string folder = m_dir.Path().string();
    while (folder.size() < 500) folder += "/" + std::string(60, 'p');
    fs::create_directories(folder);
    const std::string longSource = folder + "/source.db";
    const std::string longDestination = folder + "/destination.db";
    fs::copy_file(m_source, longSource);
    fs::copy_file(m_plain, longDestination);
    const std::pair<std::string, std::string> runs[] = {
        {m_source, longDestination},
        {longSource, m_expected},
    };
    for (const auto& [source, destination] : runs) {
        const std::string& tooLong = source == longSource ? source : destination;
        SCOPED_TRACE(tooLong == source ? "source" : "destination");
        const std::string before = ReadFileBytes(tooLong);
        const ConsoleRun run = ConvertInProcess(source, destination);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(DaoCodeIn(run.err), 3044) << run.err;
        EXPECT_NE(run.err.find(tooLong), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("bytes long"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFileBytes(tooLong), before);
    }
}

}  // namespace
