#include "bench/conversion/SyntheticGlossary.h"

#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

class Store {
public:
    explicit Store(const std::string& path) {
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) throw std::runtime_error(path);
    }
    ~Store() { sqlite3_close(m_db); }
    void Exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error != nullptr ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(message);
        }
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(m_db));
        }
        return stmt;
    }
    static void Run(sqlite3_stmt* stmt, const std::vector<std::string>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            sqlite3_bind_text(stmt, static_cast<int>(i + 1), values[i].c_str(),
                              static_cast<int>(values[i].size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(stmt) != SQLITE_DONE) throw std::runtime_error("insert failed");
        sqlite3_reset(stmt);
    }

private:
    sqlite3* m_db = nullptr;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const kWords[] = {"patient", "review", "tablet",   "daily",     "advice",
                              "result",  "normal", "follow",   "letter",    "thank",
                              "please",  "weeks",  "caf\\'e9", "na\\'efve", "r\\'e9sum\\'e9",
                              "dose",    "blood",  "rest"};

std::string PhraseRtf(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> length(200, 2000);
    std::uniform_int_distribution<std::size_t> word(0, std::size(kWords) - 1);
    std::uniform_int_distribution<int> mark(0, 40);
    const std::size_t target = length(random);
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}"
        "{\\colortbl ;\\red0\\green0\\blue0;}\\viewkind4\\uc1\\pard\\plain\\f0\\fs20 ";
    while (rtf.size() + 8 < target) {
        rtf += kWords[word(random)];
        switch (mark(random)) {
            case 0:
                rtf += "\\par ";
                break;
            case 1:
                rtf += " {\\b bold}";
                break;
            case 2:
                rtf += " \\u8212?";
                break;
            default:
                rtf += ' ';
        }
    }
    return rtf + "\\par }";
}

std::string CategoryId(std::size_t category) {
    // Every tenth identifier carries a tail after its brace, as some old glossaries do.
    std::string id = "GLS{" + std::to_string(100000 + category) + "-AB}";
    if (category % 10 == 3) id += "old";
    return id;
}

}  // namespace

SyntheticGlossary GlossaryFiles(const std::string& folder, std::size_t items) {
    return {folder + "/source-" + std::to_string(items) + ".db",
            folder + "/destination-" + std::to_string(items) + ".db"};
}

SyntheticGlossary MakeSyntheticGlossary(const std::string& folder, std::size_t items) {
    const SyntheticGlossary glossary = GlossaryFiles(folder, items);
    std::remove(glossary.source.c_str());
    std::remove(glossary.destination.c_str());
    std::mt19937 random(static_cast<unsigned>(items));
    const std::size_t categories = items / 50 + 1;

    Store source(glossary.source);
    source.Exec(ReadText(TALLOWMERE_RES_DIR "/source-schema.sql"));
    source.Exec("BEGIN");
    sqlite3_stmt* category = source.Prepare(
        "INSERT INTO tblPhraseCategory (s_GUID, CategoryID, Description, ZOrder) VALUES (?, ?, ?, "
        "0)");
    for (std::size_t c = 0; c < categories; ++c) {
        Store::Run(category, {"guid-" + std::to_string(c), CategoryId(c),
                              c % 7 == 0 ? std::string() : "Category " + std::to_string(c)});
    }
    sqlite3_stmt* item = source.Prepare(
        "INSERT INTO tblPhraseItem (ItemID, ShortDescription, FullDescription) VALUES (?, ?, ?)");
    sqlite3_stmt* relation =
        source.Prepare("INSERT INTO tblPhraseRelation (ItemID, CategoryID) VALUES (?, ?)");
    std::uniform_int_distribution<std::size_t> pick(0, categories - 1);
    for (std::size_t i = 0; i < items; ++i) {
        const std::string id = "ITEM" + std::to_string(1000000 + i);
        Store::Run(item,
                   {id, "m" + std::to_string(i), i % 97 == 0 ? std::string() : PhraseRtf(random)});
        const std::size_t first = pick(random);
        Store::Run(relation, {id, CategoryId(first)});
        if (i % 2 == 0) Store::Run(relation, {id, CategoryId((first + 1) % categories)});
    }
    sqlite3_finalize(category);
    sqlite3_finalize(item);
    sqlite3_finalize(relation);
    source.Exec("COMMIT");

    Store destination(glossary.destination);
    destination.Exec(ReadText(TALLOWMERE_RES_DIR "/destination-schema.sql"));
    destination.Exec("BEGIN");
    sqlite3_stmt* existingCategory = destination.Prepare(
        "INSERT INTO tblCategory (CategoryID, Description, ZOrder) VALUES (?, 'old', 1)");
    for (std::size_t c = 0; c < categories; c += 3) Store::Run(existingCategory, {CategoryId(c)});
    sqlite3_stmt* existingPhrase = destination.Prepare(
        "INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data, ZOrder) VALUES (?, ?, 'old', "
        "?, 1)");
    for (std::size_t i = 0; i < items; i += 3) {
        Store::Run(existingPhrase,
                   {"ITEM" + std::to_string(1000000 + i), CategoryId(0), "old text"});
    }
    sqlite3_finalize(existingCategory);
    sqlite3_finalize(existingPhrase);
    destination.Exec("COMMIT");
    return glossary;
}
