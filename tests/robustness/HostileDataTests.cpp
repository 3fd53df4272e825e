// Databases and paths no one meant to give the program: damaged files, values of the wrong kind,
// Null keys, huge texts, keys made of quoting and SQL characters, odd and long paths. Each run
// either converts correctly or ends in an engine error with its number; none crashes or hangs,
// the source is never changed and the destination stays sound.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "db/DaoEngine.h"
#include "tests/robustness/Robustness.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using namespace std::string_literals;

// Binds every parameter as text of its exact length, NUL bytes and all; "\x01NULL" binds Null
// and a leading "\x01BLOB" binds the rest as a blob.
void RunBound(const std::string& path, const std::string& sql,
              const std::vector<std::string>& values) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        const std::string& value = values[i];
        if (value == "\x01NULL") {
            sqlite3_bind_null(stmt, index);
        } else if (value.rfind("\x01"
                               "BLOB",
                               0) == 0) {
            sqlite3_bind_blob64(stmt, index, value.data() + 5, value.size() - 5, SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_text64(stmt, index, value.data(), value.size(), SQLITE_TRANSIENT,
                                SQLITE_UTF8);
        }
    }
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

const std::string kNull = "\x01NULL";
std::string Blob(const std::string& bytes) {
    return "\x01"
           "BLOB" +
           bytes;
}

void AddCategory(const std::string& source, const std::string& id, const std::string& description) {
    static int guid = 0;
    RunBound(source,
             "INSERT INTO tblPhraseCategory (s_GUID, CategoryID, Description) VALUES (?, ?, ?)",
             {"g" + std::to_string(++guid), id, description});
}

void AddItem(const std::string& source, const std::string& id, const std::string& mnemonic,
             const std::string& text, const std::string& category) {
    RunBound(
        source,
        "INSERT INTO tblPhraseItem (ItemID, ShortDescription, FullDescription) VALUES (?, ?, ?)",
        {id, mnemonic, text});
    RunBound(source, "INSERT INTO tblPhraseRelation (ItemID, CategoryID) VALUES (?, ?)",
             {id, category});
}

// One destination row's values as stored: "type:hex" per column, joined with "|".
std::vector<std::string> StoredRow(const std::string& destination, const std::string& table,
                                   const std::string& keyColumn, const std::string& key) {
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(destination.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = "SELECT * FROM " + table + " WHERE CAST(" + keyColumn + " AS BLOB) = ?";
    sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    sqlite3_bind_blob64(stmt, 1, key.data(), key.size(), SQLITE_TRANSIENT);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, c));
            row += (c > 0 ? "|" : "") +
                   std::string(bytes != nullptr ? bytes : "",
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
        }
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

// A phrase as the conversion must leave it: plain data gains the suffix, the category is the
// braced part, punctuation 2 and 0, order 0.
std::string Phrase(const std::string& id, const std::string& category, const std::string& mnemonic,
                   const std::string& data) {
    return id + "|" + category + "|" + mnemonic + "|" + data + "|0|2|0";
}

struct HostileSource {
    const char* name;
    std::function<void(const std::string& source)> fill;
    int daoCode;  // 0: converts, and check says how
    std::function<void(const std::string& destination)> check;
};

class HostileData : public ::testing::Test {
protected:
    void SetUp() override {
        AfxDaoInit();
        AfxDaoGetEngine()->SetLockWait(milliseconds(200));
        AfxDaoGetEngine()->SetWriteGroupInterval(milliseconds(500));
    }

    // Runs the conversion and checks what holds for every hostile input; the run's result.
    ConsoleRun Convert(const std::string& source, const std::string& destination) {
        const std::string sourceBytes = ReadFileBytes(source);
        const ConsoleRun run = ConvertInProcess(source, destination);
        EXPECT_TRUE(run.status == 0 || (run.status == 1 && DaoCodeIn(run.err) != 0))
            << "status " << run.status << ": " << run.err;
        EXPECT_EQ(run.err.find("The conversion stopped"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFileBytes(source), sourceBytes);
        ++m_tried;
        return run;
    }

    TempDir m_dir;
    int m_tried = 0;
};

const std::string kTen = std::string(10 * 1024 * 1024, 'x');

const HostileSource kHostileSources[] = {
    // A view can make a plain read endless; the engine reads tables only.
    {"EndlessViewInPlaceOfATable",
     [](const std::string& s) {
         TestDb(s).Exec(
             "DROP TABLE tblPhraseItem; CREATE VIEW tblPhraseItem AS WITH RECURSIVE n(i) AS "
             "(SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT 'I' || i AS ItemID, 'm' AS "
             "ShortDescription, 't' AS FullDescription FROM n");
         AddCategory(s, "A{1}", "a");
     },
     3078, nullptr},
    {"KeysOfQuotesBracketsPercentAndSql",
     [](const std::string& s) {
         AddCategory(s, "Q'uote\"s{A'1\"}", "it's \"quoted\"");
         AddCategory(s, "[tblCategory]{[B]}", "%_%");
         for (const char* id :
              {"it's", "say \"hi\"", "[tblPhrase]", "100%_done", "'); DROP TABLE tblPhrase; --",
               "\" OR 1=1 --", "]; DELETE FROM [tblCategory", "?1 ?2 :name @x $y"}) {
             AddItem(s, id, id, id, "Q'uote\"s{A'1\"}");
         }
         AddItem(s, "%", "%", "{\\rtf1 50\\'25 off}", "[tblCategory]{[B]}");
     },
     0,
     [](const std::string& d) {
         EXPECT_EQ(StoredRow(d, "tblCategory", "CategoryID", "Q'uote\"s{A'1\"}"),
                   std::vector<std::string>{"Q'uote\"s{A'1\"}|it's \"quoted\"|0|{A'1\"}"});
         EXPECT_EQ(StoredRow(d, "tblCategory", "CategoryID", "[tblCategory]{[B]}"),
                   std::vector<std::string>{"[tblCategory]{[B]}|%_%|0|{[B]}"});
         for (const char* id :
              {"it's", "say \"hi\"", "[tblPhrase]", "100%_done", "'); DROP TABLE tblPhrase; --",
               "\" OR 1=1 --", "]; DELETE FROM [tblCategory", "?1 ?2 :name @x $y"}) {
             EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", id),
                       std::vector<std::string>{Phrase(id, "{A'1\"}", id, id + "9|"s)});
         }
         EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", "%"),
                   std::vector<std::string>{Phrase("%", "{[B]}", "%", "50% off9|")});
         EXPECT_EQ(TestDb(d).Count("tblPhrase"), 9);
         EXPECT_EQ(TestDb(d).Count("tblCategory"), 2);
     }},
    {"KeysAndTextsHoldingNulBytes",
     [](const std::string& s) {
         AddCategory(s, "K{N\0L}"s, "de\0sc"s);
         AddItem(s, "a\0b"s, "m\0n"s, "x\0y"s, "K{N\0L}"s);
     },
     0,
     [](const std::string& d) {
         // An identifier is read up to its first zero byte when its braced part is taken.
         EXPECT_EQ(StoredRow(d, "tblCategory", "CategoryID", "K{N"),
                   std::vector<std::string>{"K{N|de\0sc|0|K{N"s});
         EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", "a\0b"s),
                   std::vector<std::string>{Phrase("a\0b"s, "K{N", "m\0n"s, "x\0y9|"s)});
     }},
    {"NullKeysAndTexts",
     [](const std::string& s) {
         // A hand-made source that lets every column be Null.
         TestDb db(s);
         db.Exec(
             "DROP TABLE tblPhraseItem; DROP TABLE tblPhraseRelation;"
             "CREATE TABLE tblPhraseItem (ItemID, ShortDescription, FullDescription);"
             "CREATE TABLE tblPhraseRelation (ItemID, CategoryID);"
             "INSERT INTO tblPhraseCategory (s_GUID, CategoryID, Description) VALUES ('g', NULL, "
             "NULL);"
             "INSERT INTO tblPhraseItem VALUES (NULL, NULL, NULL), ('n', NULL, NULL);"
             "INSERT INTO tblPhraseRelation VALUES ('n', NULL);");
     },
     0,
     [](const std::string& d) {
         EXPECT_EQ(StoredRow(d, "tblCategory", "CategoryID", ""),
                   std::vector<std::string>{"|Undefined|0|"});
         // A Null key never joins, so only the item with a key arrives.
         EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", "n"),
                   std::vector<std::string>{Phrase("n", "", "", "9|")});
         EXPECT_EQ(TestDb(d).Count("tblPhrase"), 1);
     }},
    {"NonAsciiAndInvalidUtf8Keys",
     [](const std::string& s) {
         AddCategory(s, "Größe{Ä-1}", "Größe");
         for (const char* id : {"日本語", "ÀÉÎ", "àéî", "emoji 😀", "\xff\xfe bytes"}) {
             AddItem(s, id, id, id, "Größe{Ä-1}");
         }
     },
     0,
     [](const std::string& d) {
         EXPECT_EQ(StoredRow(d, "tblCategory", "CategoryID", "Größe{Ä-1}"),
                   std::vector<std::string>{"Größe{Ä-1}|Größe|0|{Ä-1}"});
         for (const char* id : {"日本語", "ÀÉÎ", "àéî", "emoji 😀", "\xff\xfe bytes"}) {
             EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", id),
                       std::vector<std::string>{Phrase(id, "{Ä-1}", id, id + "9|"s)});
         }
     }},
    {"BlobsInTextColumns",
     [](const std::string& s) {
         RunBound(
             s,
             "INSERT INTO tblPhraseCategory (s_GUID, CategoryID, Description) VALUES ('g', ?, ?)",
             {Blob("B{\0}"s), Blob("d\0"s)});
         RunBound(s, "INSERT INTO tblPhraseItem VALUES (?, ?, ?)",
                  {Blob("i\x80"), Blob("m"), Blob("{\\rtf1 r}")});
         RunBound(s, "INSERT INTO tblPhraseRelation VALUES (?, ?)",
                  {Blob("i\x80"), Blob("B{\0}"s)});
     },
     0,
     [](const std::string& d) {
         EXPECT_EQ(StoredRow(d, "tblCategory", "CategoryID", "B{"),
                   std::vector<std::string>{"B{|d\0|0|B{"s});
         EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", "i\x80"),
                   std::vector<std::string>{Phrase("i\x80", "B{", "m", "r9|")});
     }},
    {"ShortColumnHoldingNumberText",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec(
             "UPDATE tblPhraseCategory SET ZOrder = '12', Gen_Tag = ' 7', RecordID = 3.0");
     },
     0, [](const std::string& d) { EXPECT_EQ(TestDb(d).Count("tblCategory"), 1); }},
    {"ShortColumnHoldingWords",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET ZOrder = 'abc'");
     },
     3421, nullptr},
    {"ShortColumnOutOfRange",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET ZOrder = 40000");
     },
     3421, nullptr},
    {"ShortColumnHoldingAFraction",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET ZOrder = 1.5");
     },
     3421, nullptr},
    {"ShortColumnHoldingABlob",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET ZOrder = X'01'");
     },
     3421, nullptr},
    {"LongColumnOutOfRange",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET RecordID = 9999999999");
     },
     3421, nullptr},
    {"LongColumnHoldingInfinity",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET s_Generation = 1e999");
     },
     3421, nullptr},
    {"DateColumnHoldingWords",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET ReplicationModified = 'yesterday'");
     },
     3421, nullptr},
    {"WrongKindInALaterRow",
     [](const std::string& s) {
         AddCategory(s, "C{1}", "d");
         AddCategory(s, "C{2}", "d");
         TestDb(s).Exec("UPDATE tblPhraseCategory SET ZOrder = 'late' WHERE CategoryID = 'C{2}'");
     },
     3421, nullptr},
    {"TenMegabyteTexts",
     [](const std::string& s) {
         AddCategory(s, "Big{1}", kTen);
         AddItem(s, "plain", "m", kTen, "Big{1}");
         AddItem(s, "rich", "m", "{\\rtf1\\ansi " + kTen + "\\par}", "Big{1}");
         AddItem(s, std::string(1024 * 1024, 'k'), kTen, "", "Big{1}");
     },
     0,
     [](const std::string& d) {
         EXPECT_EQ(StoredRow(d, "tblCategory", "CategoryID", "Big{1}"),
                   std::vector<std::string>{"Big{1}|" + kTen + "|0|{1}"});
         EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", "plain"),
                   std::vector<std::string>{Phrase("plain", "{1}", "m", kTen + "9|")});
         EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", "rich"),
                   std::vector<std::string>{Phrase("rich", "{1}", "m", kTen + "9|")});
         const std::string key(1024 * 1024, 'k');
         EXPECT_EQ(StoredRow(d, "tblPhrase", "PhraseID", key),
                   std::vector<std::string>{Phrase(key, "{1}", kTen, "9|")});
     }},
};

TEST_F(HostileData, SourceContentConvertsExactlyOrEndsInItsEngineError) {
    for (const HostileSource& hostile : kHostileSources) {
        SCOPED_TRACE(hostile.name);
        const std::string source = m_dir.File(std::string(hostile.name) + "-source.db");
        const std::string destination = m_dir.File(std::string(hostile.name) + "-destination.db");
        CreateSourceDb(source);
        CreateDestinationDb(destination);
        hostile.fill(source);
        const ConsoleRun run = Convert(source, destination);
        if (hostile.daoCode == 0) {
            EXPECT_EQ(run.status, 0) << run.err;
            if (hostile.check) hostile.check(destination);
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(DaoCodeIn(run.err), hostile.daoCode) << run.err;
            EXPECT_NE(run.err.find(source), std::string::npos) << run.err;
        }
        EXPECT_EQ(IntegrityCheck(destination), "ok");
    }
}

struct HostileDestination {
    const char* name;
    const char* sql;  // run on a destination that already holds rows
    int daoCode;
};

const HostileDestination kHostileDestinations[] = {
    // A row the copy overwrites is read by its seek; one it does not is read by the walks.
    {"ShortColumnOfASoughtRowHoldingWords",
     "UPDATE tblPhrase SET ZOrder = 'abc' WHERE PhraseID = 'P2'", 3421},
    {"ShortColumnOfAWalkedRowOutOfRange",
     "UPDATE tblPhrase SET PunctuationLeading = 99999 WHERE PhraseID = 'OLD1'", 3421},
    {"CategoryRowHoldingABlobNumber",
     "UPDATE tblCategory SET ZOrder = X'00' WHERE CategoryID = 'Old{O-9}'", 3421},
    {"NullTextsInRowsItKeeps",
     "UPDATE tblPhrase SET Data = NULL, Mnemonic = NULL, CategoryID = NULL WHERE PhraseID = 'OLD1'",
     0},
    // Triggers are the file's, not the glossary's: they never run, so none can loop or add rows,
    // and a table that has them is refused rather than written without them.
    {"TriggersThatWouldLoopOrAddRows",
     "CREATE TRIGGER endless AFTER UPDATE ON tblPhrase BEGIN INSERT INTO tblCategory (CategoryID) "
     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT 'T' || i FROM n; END;"
     "CREATE TRIGGER extra AFTER INSERT ON tblPhrase BEGIN INSERT INTO tblPhrase (PhraseID) VALUES "
     "(NEW.PhraseID || '-copy'); END;",
     3251},
    {"BlobDataInRowsItKeeps",
     "UPDATE tblPhrase SET Data = X'7B5C72746631206869007D' WHERE PhraseID = 'OLD1'", 0},
};

// A trigger on either destination table is named, and the destination is left as it was.
TEST_F(HostileData, ADestinationWithTriggersIsRefusedBeforeAnyWrite) {
    for (const char* table : {"tblCategory", "TBLPHRASE"}) {
        SCOPED_TRACE(table);
        const std::string source = m_dir.File(std::string(table) + "-source.db");
        const std::string destination = m_dir.File(std::string(table) + "-destination.db");
        MakeSmallGlossary(source, destination);
        TestDb(destination)
            .Exec(std::string("CREATE TRIGGER audit_log AFTER UPDATE ON ") + table +
                  " BEGIN SELECT 1; END");
        const std::string before = ReadFileBytes(destination);
        const ConsoleRun run = Convert(source, destination);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(DaoCodeIn(run.err), 3251) << run.err;
        EXPECT_NE(run.err.find("trigger 'audit_log'"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFileBytes(destination), before);
    }
}

TEST_F(HostileData, DestinationContentConvertsOrEndsInItsEngineError) {
    for (const HostileDestination& hostile : kHostileDestinations) {
        SCOPED_TRACE(hostile.name);
        const std::string source = m_dir.File(std::string(hostile.name) + "-source.db");
        const std::string destination = m_dir.File(std::string(hostile.name) + "-destination.db");
        MakeSmallGlossary(source, destination);
        TestDb(destination).Exec(hostile.sql);
        const ConsoleRun run = Convert(source, destination);
        if (hostile.daoCode == 0) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(TestDb(destination).Count("tblPhrase"), 5);
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(DaoCodeIn(run.err), hostile.daoCode) << run.err;
            EXPECT_NE(run.err.find(destination), std::string::npos) << run.err;
        }
        EXPECT_EQ(IntegrityCheck(destination), "ok");
    }
}

// Offsets to damage: every field of the file header, then spread over the whole file.
std::vector<std::size_t> DamageOffsets(std::size_t size) {
    std::vector<std::size_t> offsets = {0,  5,  15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 27, 28,
                                        31, 32, 36, 40, 44, 47, 48, 52, 56, 60, 64, 92, 96, 99};
    uint32_t state = 12345;
    for (int i = 0; i < 48; ++i) {
        state = state * 1103515245u + 12345u;
        offsets.push_back(100 + (state >> 8) % (size - 100));
    }
    return offsets;
}

TEST_F(HostileData, TruncatedAndBitFlippedFilesNeverCrashOrSpreadDamage) {
    const std::string goodSource = m_dir.File("good-source.db");
    const std::string goodDestination = m_dir.File("good-destination.db");
    MakeSmallGlossary(goodSource, goodDestination);
    const std::string sources = ReadFileBytes(goodSource);
    const std::string destinations = ReadFileBytes(goodDestination);
    const std::string source = m_dir.File("source.db");
    const std::string destination = m_dir.File("destination.db");

    int failed = 0;
    int converted = 0;
    for (bool damageSource : {true, false}) {
        const std::string& good = damageSource ? sources : destinations;
        std::vector<std::string> damaged;
        for (std::size_t length :
             {std::size_t{0}, std::size_t{1}, std::size_t{16}, std::size_t{100}, std::size_t{1024},
              std::size_t{4096}, good.size() / 2, good.size() - 4096, good.size() - 1}) {
            damaged.push_back(good.substr(0, length));
        }
        for (std::size_t offset : DamageOffsets(good.size())) {
            std::string flipped = good;
            flipped[offset] = static_cast<char>(flipped[offset] ^ (1 << (offset % 8)));
            damaged.push_back(flipped);
        }
        for (std::size_t i = 0; i < damaged.size(); ++i) {
            SCOPED_TRACE((damageSource ? "source " : "destination ") + std::to_string(i));
            fs::remove(destination + "-journal");
            WriteFileBytes(source, damageSource ? damaged[i] : sources);
            WriteFileBytes(destination, damageSource ? destinations : damaged[i]);
            const bool soundBefore = damageSource || IntegrityCheck(destination) == "ok";
            const ConsoleRun run = Convert(source, destination);
            (run.status == 0 ? converted : failed) += 1;
            if (run.status != 0) {
                EXPECT_NE(run.err.find(damageSource ? source : destination), std::string::npos)
                    << run.err;
            }
            // A sound destination stays sound; a damaged one is not made worse by being read.
            if (soundBefore) {
                EXPECT_EQ(IntegrityCheck(destination), "ok");
            }
        }
    }
    std::cout << "[ figures  ] damaged files: " << converted + failed << " tried, " << converted
              << " converted, " << failed << " ended in an engine error\n";
}

TEST_F(HostileData, PathsWithSpacesNonAsciiQuotesAndGreatLengthWork) {
    const std::string goodSource = m_dir.File("good-source.db");
    const std::string goodDestination = m_dir.File("good-destination.db");
    MakeSmallGlossary(goodSource, goodDestination);
    const std::string plain = m_dir.File("plain.db");
    fs::copy_file(goodDestination, plain);
    ASSERT_EQ(ConvertInProcess(goodSource, plain).status, 0);
    const std::vector<std::string> expected = DestinationContent(plain);

    std::string deep = (m_dir.Path() / "deep").string();
    while (deep.size() < 300) deep += "/" + std::string(60, 'n');
    const std::pair<std::string, std::string> folders[] = {
        {"with spaces", "folder with  spaces "},
        {"non-ASCII", "Dossier ünïcödé 日本語"},
        {"quotes and percent", "it's \"%s\" [x] %d"},
        {"more than 255 characters", deep},
    };
    for (const auto& [what, name] : folders) {
        SCOPED_TRACE(what);
        const fs::path folder = name.front() == '/' ? fs::path(name) : m_dir.Path() / name;
        fs::create_directories(folder);
        const std::string source = (folder / "the source.db").string();
        const std::string destination = (folder / "Zieldatei ß.db").string();
        fs::copy_file(goodSource, source, fs::copy_options::overwrite_existing);
        fs::copy_file(goodDestination, destination, fs::copy_options::overwrite_existing);
        ASSERT_GT(destination.size(), what == std::string("more than 255 characters") ? 255u : 0u);
        const ConsoleRun run = Convert(source, destination);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(DestinationContent(destination), expected);
    }
}

}  // namespace

namespace {

// Runs a conversion in a child that a hang cannot outlive; its exit status, or -signal.
int ConvertInChild(const std::string& source, const std::string& destination, std::string& err) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1000;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        alarm(10);
        const ConsoleRun run = ConvertInProcess(source, destination);
        if (write(pipeFds[1], run.err.data(), run.err.size()) < 0) _exit(100);
        _exit(run.status);
    }
    close(pipeFds[1]);
    char buffer[4096];
    ssize_t got;
    err.clear();
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        err.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST_F(HostileData, PathsTheStoreCouldMisreadNameOnlyTheirOwnFile) {
    const fs::path folder = m_dir.Path() / "uri";
    fs::create_directories(folder);
    MakeSmallGlossary((folder / "src.db").string(), (folder / "dst.db").string());
    const std::string decoy = ReadFileBytes((folder / "dst.db").string());
    // Names the store would read as URIs naming other files, or with options of their own.
    fs::copy_file(folder / "src.db", folder / "file:src.db");
    fs::copy_file(folder / "dst.db", folder / "file:dst.db");
    fs::copy_file(folder / "dst.db", folder / "file:dst.db?mode=ro");
    const fs::path cwd = fs::current_path();
    fs::current_path(folder);
    const ConsoleRun run = Convert("file:src.db", "file:dst.db");
    const ConsoleRun withQuery = Convert("file:src.db", "file:dst.db?mode=ro");
    fs::current_path(cwd);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(withQuery.status, 0) << withQuery.err;
    EXPECT_TRUE(ReadFileBytes((folder / "dst.db").string()) == decoy)
        << "another file was converted";
    EXPECT_EQ(DestinationContent((folder / "file:dst.db").string()),
              DestinationContent((folder / "file:dst.db?mode=ro").string()));
    EXPECT_NE(DestinationContent((folder / "file:dst.db").string()),
              DestinationContent((folder / "dst.db").string()));
}

TEST_F(HostileData, PathsThatAreNoDatabaseFileFailClearlyWithoutWaiting) {
    const std::string source = m_dir.File("source.db");
    const std::string destination = m_dir.File("destination.db");
    MakeSmallGlossary(source, destination);
    const std::string fifo = m_dir.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string tooLong = (m_dir.Path() / "x").string();
    while (tooLong.size() < 700) tooLong += "/" + std::string(100, 'l');
    const std::pair<std::string, std::string> runs[] = {
        {fifo, destination},
        {source, fifo},
        {"/dev/zero", destination},
        {source, m_dir.Path().string()},
        {tooLong + "/source.db", destination},
        {source, std::string(5000, 'd')},
    };
    for (const auto& [from, to] : runs) {
        SCOPED_TRACE(from.substr(0, 80) + " -> " + to.substr(0, 80));
        std::string err;
        const int status = ConvertInChild(from, to, err);
        EXPECT_EQ(status, 1) << err;
        EXPECT_NE(DaoCodeIn(err), 0) << err;
        ++m_tried;
    }
}

}  // namespace
