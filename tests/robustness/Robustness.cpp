#include "tests/robustness/Robustness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "cli/ConsoleProgram.h"
#include "tests/support/TestDatabases.h"

namespace {

// The workgroup comes from the command line here, so the lookup is never made.
class NoRegistry : public CurrentUserRegistry {
public:
    bool OpenKey(const std::string&) override { return false; }
    bool QueryValue(const std::string&, char*, std::size_t) override { return false; }
    bool CloseKey() override { return true; }
};

std::string TypedColumns(const std::vector<std::string>& columns) {
    std::string list;
    for (const std::string& column : columns) {
        if (!list.empty()) list += " || '|' || ";
        list += "typeof([" + column + "]) || ':' || coalesce(hex([" + column + "]), '')";
    }
    return list;
}

void AppendRows(TestDb& db, std::vector<std::string>& rows, const std::string& table,
                const std::vector<std::string>& columns, const std::string& order) {
    for (std::string& row :
         db.Rows("SELECT " + TypedColumns(columns) + " FROM [" + table + "] ORDER BY " + order)) {
        rows.push_back(table + ": " + row);
    }
}

}  // namespace

ConsoleRun ConvertInProcess(const std::string& source, const std::string& destination) {
    NoRegistry registry;
    std::ostringstream out;
    std::ostringstream err;
    ConsoleRun run;
    run.status = RunConsoleProgram({source, destination, "--workgroup", ""}, registry, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> DestinationContent(const std::string& path) {
    TestDb db(path);
    std::vector<std::string> rows;
    AppendRows(db, rows, "tblCategory", {"CategoryID", "Description", "ZOrder", "strCategoryID"},
               "CAST(CategoryID AS BLOB)");
    AppendRows(db, rows, "tblPhrase",
               {"PhraseID", "CategoryID", "Mnemonic", "Data", "ZOrder", "PunctuationLeading",
                "PunctuationTrailing"},
               "CAST(PhraseID AS BLOB)");
    return rows;
}

std::vector<std::string> SourceContent(const std::string& path) {
    TestDb db(path);
    std::vector<std::string> rows;
    AppendRows(db, rows, "tblPhraseCategory",
               {"Gen_Tag", "s_Generation", "s_GUID", "s_Lineage", "CategoryID", "Description",
                "Parent", "ZOrder", "GUID", "Tag", "Glossary", "RecordID", "ReplicationModified"},
               "rowid");
    AppendRows(db, rows, "tblPhraseItem", {"ItemID", "ShortDescription", "FullDescription"},
               "rowid");
    AppendRows(db, rows, "tblPhraseRelation", {"ItemID", "CategoryID"}, "rowid");
    return rows;
}

std::string IntegrityCheck(const std::string& path) {
    std::string findings;
    try {
        TestDb db(path);
        for (const std::string& row : db.Rows("PRAGMA integrity_check")) {
            findings += (findings.empty() ? "" : "; ") + row;
        }
    } catch (const std::exception& e) {
        findings = e.what();
    }
    return findings;
}

int DaoCodeIn(const std::string& message) {
    static const std::regex code("DAO Code:  (-?[0-9]+)");
    std::smatch match;
    return std::regex_search(message, match, code) ? std::stoi(match[1].str()) : 0;
}

void MakeSmallGlossary(const std::string& source, const std::string& destination) {
    CreateSourceDb(source);
    {
        TestDb db(source);
        AddSourceCategory(db, "Cardiology{C-1}", "Heart");
        AddSourceCategory(db, "Neurology{N-2}", "");
        AddSourceCategory(db, "{Plain-3}", "Plain");
        AddSourceItem(db, "P1", "bp", "{\\rtf1\\ansi Blood \\b pressure\\b0\\par}",
                      {"Cardiology{C-1}"});
        AddSourceItem(db, "P2", "hr", "Heart rate", {"Cardiology{C-1}", "Neurology{N-2}"});
        AddSourceItem(db, "P3", "empty", "", {"{Plain-3}"});
        AddSourceItem(db, "P4", "tab", "{\\rtf1 a\\tab b\\line c}", {"Neurology{N-2}"});
        AddSourceItem(db, "P5", "lonely", "No relation", {});
    }
    CreateDestinationDb(destination);
    TestDb db(destination);
    db.Exec(
        "INSERT INTO tblCategory (CategoryID, Description, ZOrder) VALUES ('Old{O-9}', 'Kept', 4)");
    db.Exec(
        "INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data, ZOrder) VALUES "
        "('OLD1', 'Old{O-9}', 'old', '{\\rtf1 Old \\i text\\i0}', 7), "
        "('P2', 'x', 'stale', 'stale', 1)");
}

void MakeLargeGlossary(const std::string& source, const std::string& destination, int phrases) {
    CreateSourceDb(source);
    {
        TestDb db(source);
        db.Exec("BEGIN");
        const int categories = 50;
        for (int c = 0; c < categories; ++c) {
            const std::string id = "Category" + std::to_string(c) + "{K-" + std::to_string(c) + "}";
            AddSourceCategory(db, id.c_str(),
                              c % 7 == 0 ? "" : ("Description " + std::to_string(c)).c_str());
        }
        for (int p = 0; p < phrases; ++p) {
            const std::string id = "Item" + std::to_string(p);
            const std::string text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Phrase " +
                                     std::to_string(p) +
                                     " with \\b bold\\b0  text\\par second line\\par}";
            const std::string category = "Category" + std::to_string(p % categories) + "{K-" +
                                         std::to_string(p % categories) + "}";
            AddSourceItem(db, id.c_str(), ("m" + std::to_string(p)).c_str(),
                          p % 11 == 0 ? "" : text.c_str(), {category.c_str()});
        }
        db.Exec("COMMIT");
    }
    CreateDestinationDb(destination);
    TestDb db(destination);
    db.Exec(
        "INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data) VALUES "
        "('Own', 'Mine{M-1}', 'own', 'Own text')");
}

int RunInUnprivilegedChild(const std::function<int(std::string& out)>& fn, std::string& output) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(pipeFds[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(120);
        std::string out;
        const int status = fn(out);
        const char* data = out.data();
        std::size_t left = out.size();
        while (left > 0) {
            const ssize_t written = write(pipeFds[1], data, left);
            if (written <= 0) break;
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        close(pipeFds[1]);
        _exit(status);
    }
    close(pipeFds[1]);
    output.clear();
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeFds[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
