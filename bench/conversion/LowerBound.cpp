#include "bench/conversion/LowerBound.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {

// The positions the program's braced-identifier search finds in a column, as SQL: the opening
// brace searched from the second byte, then the closing brace after it.
struct BraceSearch {
    explicit BraceSearch(const std::string& column)
        : open("instr(substr(" + column + ", 2), '{')"),
          start("(" + open + " + 1)"),
          close("instr(substr(" + column + ", " + start + "), '}')"),
          notFound("CASE WHEN " + open + " = 0 OR " + close + " = 0 THEN " + column + " ELSE ") {}

    std::string open, start, close, notFound;
};

std::string BracedPart(const std::string& column) {
    const BraceSearch s(column);
    return s.notFound + "substr(" + column + ", " + s.start + ", " + s.close + ") END";
}

std::string CutAfterBrace(const std::string& column) {
    const BraceSearch s(column);
    return s.notFound + "substr(" + column + ", 1, " + s.start + " + " + s.close + " - 1) END";
}

}  // namespace

void RunLowerBound(const std::string& source, const std::string& destination,
                   bool commitEachStatement) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(destination.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        throw std::runtime_error("cannot open " + destination);
    }
    sqlite3_stmt* attach = nullptr;
    sqlite3_prepare_v2(db, "ATTACH DATABASE ?1 AS src", -1, &attach, nullptr);
    sqlite3_bind_text(attach, 1, source.c_str(), -1, SQLITE_TRANSIENT);
    const int attached = sqlite3_step(attach);
    sqlite3_finalize(attach);
    if (attached != SQLITE_DONE) {
        sqlite3_close(db);
        throw std::runtime_error("cannot attach " + source);
    }
    const std::string next = commitEachStatement ? "COMMIT; BEGIN;" : "";
    const std::string sql =
        "BEGIN;"
        "INSERT INTO tblCategory (CategoryID, Description)"
        " SELECT ifnull(CategoryID, ''), CASE WHEN ifnull(Description, '') = '' THEN 'Undefined'"
        " ELSE Description END FROM src.tblPhraseCategory WHERE true"
        " ON CONFLICT (CategoryID) DO UPDATE SET CategoryID = excluded.CategoryID,"
        " Description = excluded.Description;" +
        next +
        "INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data, PunctuationLeading,"
        " PunctuationTrailing)"
        " SELECT i.ItemID, r.CategoryID, ifnull(i.ShortDescription, ''),"
        " CASE WHEN ifnull(i.FullDescription, '') = '' THEN '9|' ELSE i.FullDescription END, 2, 0"
        " FROM src.tblPhraseItem i JOIN src.tblPhraseRelation r ON i.ItemID = r.ItemID WHERE true"
        " ON CONFLICT (PhraseID) DO UPDATE SET PhraseID = excluded.PhraseID,"
        " CategoryID = excluded.CategoryID, Mnemonic = excluded.Mnemonic, Data = excluded.Data,"
        " PunctuationLeading = 2, PunctuationTrailing = 0;" +
        next + "UPDATE tblCategory SET strCategoryID = " + BracedPart("CategoryID") +
        ", CategoryID = " + CutAfterBrace("CategoryID") + ";" + next +
        "UPDATE tblPhrase SET CategoryID = " + BracedPart("ifnull(CategoryID, '')") +
        ";"
        "COMMIT;";
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("lower bound failed: " + message);
}
