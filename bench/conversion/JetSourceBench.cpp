// Measures reading a glossary from a Jet file: the rate the reader copies rows into its snapshot,
// and a whole conversion from the Jet file against the same glossary from an SQLite source.
// Usage: bench_jet_source [folder of the Jet test files, default ../shared/jet]
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "bench/conversion/BenchHost.h"
#include "convert/Conversion.h"
#include "db/DaoEngine.h"
#include "db/DaoException.h"
#include "db/jet/JetSnapshot.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kTables[] = {"tblPhraseCategory", "tblPhraseItem", "tblPhraseRelation"};

struct ReadResult {
    double seconds = 0;
    std::uint64_t rows = 0;
};

ReadResult ReadOnce(const std::string& path) {
    const auto start = Clock::now();
    auto snapshot = JetSnapshot::Open(path);
    for (const char* table : kTables) snapshot->LoadTable(table);
    return {std::chrono::duration<double>(Clock::now() - start).count(), snapshot->RowsRead()};
}

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(sql + ": " + message);
    }
}

// A new database made from one of the shipped schemas.
void MakeEmptyDatabase(const std::string& path, const std::string& schema) {
    std::ifstream file(std::string(TALLOWMERE_RES_DIR) + "/" + schema);
    std::stringstream text;
    text << file.rdbuf();
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, text.str());
    sqlite3_close(db);
}

// The same glossary as an SQLite source made from the shipped schema: the snapshot's rows copied
// across.
void MakeSqliteTwin(const std::string& jet, const std::string& sqlitePath) {
    auto snapshot = JetSnapshot::Open(jet);
    for (const char* table : kTables) snapshot->LoadTable(table);
    Exec(snapshot->Handle(), "ATTACH DATABASE '" + sqlitePath + "' AS twin");
    Exec(snapshot->Handle(), "BEGIN");
    for (const char* table : kTables) {
        Exec(snapshot->Handle(),
             std::string("INSERT INTO twin.") + table + " SELECT * FROM main." + table);
    }
    Exec(snapshot->Handle(), "COMMIT");
    Exec(snapshot->Handle(), "DETACH DATABASE twin");
}

std::string Rows(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    std::string all;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            all += text != nullptr ? text : "<null>";
            all += '|';
        }
        all += '\n';
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return all;
}

double Convert(const std::string& source, const std::string& destination, BenchHost& host) {
    const auto start = Clock::now();
    try {
        RunConversion(source, destination, host);
    } catch (const CDaoException& e) {
        host.messages += e.m_pErrorInfo->m_strDescription + "\n";
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::filesystem::path fixtures = argc > 1 ? argv[1] : TALLOWMERE_JET_FIXTURES;
    const std::string big = (fixtures / "src_big_V2000.mdb").string();
    if (!std::filesystem::exists(big)) {
        std::printf("no Jet test files at %s: the Jet source is not measured\n",
                    fixtures.string().c_str());
        return 0;
    }
    const double megabytes = static_cast<double>(std::filesystem::file_size(big)) / 1e6;
    ReadResult best{1e9, 0};
    for (int round = 0; round < 3; ++round) {
        const ReadResult r = ReadOnce(big);
        if (r.seconds < best.seconds) best = r;
    }
    std::printf("read %s (%.1f MB): %llu rows in %.3f s, %.0f rows/s, %.1f MB/s (best of 3)\n",
                big.c_str(), megabytes, static_cast<unsigned long long>(best.rows), best.seconds,
                static_cast<double>(best.rows) / best.seconds, megabytes / best.seconds);

    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tallowmere-jet-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string twin = (folder / "twin.db").string();
    const std::string fromJet = (folder / "from-jet.db").string();
    const std::string fromSqlite = (folder / "from-sqlite.db").string();
    MakeEmptyDatabase(twin, "source-schema.sql");
    MakeEmptyDatabase(fromJet, "destination-schema.sql");
    MakeEmptyDatabase(fromSqlite, "destination-schema.sql");
    MakeSqliteTwin(big, twin);
    AfxDaoInit();
    BenchHost jetHost, sqliteHost;
    const double jetSeconds = Convert(big, fromJet, jetHost);
    const double sqliteSeconds = Convert(twin, fromSqlite, sqliteHost);
    const char* categories = "SELECT * FROM tblCategory ORDER BY CategoryID";
    const char* phrases = "SELECT * FROM tblPhrase ORDER BY PhraseID";
    const bool same = Rows(fromJet, categories) == Rows(fromSqlite, categories) &&
                      Rows(fromJet, phrases) == Rows(fromSqlite, phrases);
    std::printf(
        "convert the 20,000-item glossary: from the Jet file %.3f s, from the same "
        "glossary in SQLite %.3f s (%.2fx); results %s\n",
        jetSeconds, sqliteSeconds, jetSeconds / sqliteSeconds,
        same && jetHost.messages.empty() && sqliteHost.messages.empty() ? "the same" : "DIFFER");
    if (!jetHost.messages.empty() || !sqliteHost.messages.empty()) {
        std::printf("messages: %s%s\n", jetHost.messages.c_str(), sqliteHost.messages.c_str());
    }
    std::filesystem::remove_all(folder);
    return same ? 0 : 1;
}
