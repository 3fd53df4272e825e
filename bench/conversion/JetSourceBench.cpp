// Measures reading a glossary from a Jet file: the rate the reader copies rows into its snapshot,
// and a whole conversion from the Jet file against the same glossary from an SQLite source.
// Usage: bench_jet_source [folder of the Jet test files, default ../shared/jet]
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

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
    return 0;
}
