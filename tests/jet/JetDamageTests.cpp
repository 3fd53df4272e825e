// Damaged copies of real Jet files must end in an engine error or give the right rows: never a
// crash, a hang, a shorter table, or libmdb's messages on standard error.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "db/DaoException.h"
#include "db/jet/JetFile.h"
#include "db/jet/JetSnapshot.h"
#include "tests/jet/JetFixtures.h"
#include "tests/support/TempDir.h"

namespace {

struct Damage {
    std::string name;
    bool truncates;
    std::function<void(std::string&)> apply;
};

std::vector<Damage> DamagesFor(std::size_t size, std::size_t pageSize) {
    std::vector<Damage> damages;
    for (std::size_t cut : {std::size_t{100}, pageSize, 3 * pageSize, std::size_t{128 * 1024},
                            size / 2, size - pageSize, size - 1}) {
        if (cut >= size) continue;
        damages.push_back({"cut at " + std::to_string(cut), true,
                           [cut](std::string& bytes) { bytes.resize(cut); }});
    }
    std::mt19937 random(20261208);
    for (int i = 0; i < 40; ++i) {
        const std::size_t at = pageSize + random() % (size - pageSize);
        const int bit = static_cast<int>(random() % 8);
        damages.push_back(
            {"bit " + std::to_string(bit) + " of byte " + std::to_string(at), false,
             [at, bit](std::string& bytes) { bytes[at] ^= static_cast<char>(1 << bit); }});
    }
    for (std::size_t page = 1; page < size / pageSize; page += 3) {
        const unsigned seed = static_cast<unsigned>(random());
        damages.push_back({"garbage page " + std::to_string(page), false,
                           [page, pageSize, seed](std::string& bytes) {
                               std::mt19937 fill(seed);
                               for (std::size_t i = 0; i < pageSize; ++i) {
                                   bytes[page * pageSize + i] = static_cast<char>(fill());
                               }
                           }});
        damages.push_back({"zeroed page " + std::to_string(page + 1), false,
                           [page, pageSize](std::string& bytes) {
                               if ((page + 2) * pageSize <= bytes.size()) {
                                   std::fill_n(bytes.begin() + (page + 1) * pageSize, pageSize,
                                               '\0');
                               }
                           }});
    }
    return damages;
}

struct Outcome {
    int error = 0;
    std::string description;
    std::vector<std::size_t> rowCounts;
    std::vector<std::string> rows;
};

Outcome ReadTables(const std::string& path, const std::vector<std::string>& tables) {
    Outcome outcome;
    try {
        JetSnapshot snapshot(JetFile::Open(path));
        for (const std::string& table : tables) {
            snapshot.LoadTable(table);
            const std::vector<std::string> rows =
                TypedRows(snapshot.Handle(), "SELECT * FROM \"" + table + "\"");
            outcome.rowCounts.push_back(rows.size());
            outcome.rows.insert(outcome.rows.end(), rows.begin(), rows.end());
        }
    } catch (const CDaoException& e) {
        outcome.error = e.m_pErrorInfo->m_lErrorCode;
        outcome.description = e.m_pErrorInfo->m_strDescription;
        EXPECT_NE(e.m_pErrorInfo->m_strDescription.find(path), std::string::npos)
            << e.m_pErrorInfo->m_strDescription;
    }
    return outcome;
}

// Sends standard error (the descriptor) to a file while it lives.
class CapturedStderr {
public:
    explicit CapturedStderr(const std::string& path) {
        std::fflush(stderr);
        m_saved = dup(2);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    ~CapturedStderr() {
        std::fflush(stderr);
        dup2(m_saved, 2);
        close(m_saved);
    }

private:
    int m_saved;
};

void ExpectDamageHandled(const std::string& original, std::size_t pageSize,
                         const std::vector<std::string>& tables) {
    TempDir dir;
    const Outcome intact = ReadTables(original, tables);
    ASSERT_EQ(intact.error, 0);
    const std::string bytes = ReadFileBytes(original);
    const std::string damaged = dir.File("damaged.mdb");
    int errors = 0;
    {
        CapturedStderr quiet(dir.File("stderr.txt"));
        for (const Damage& damage : DamagesFor(bytes.size(), pageSize)) {
            std::string copy = bytes;
            damage.apply(copy);
            WriteFileBytes(damaged, copy);
            const Outcome outcome = ReadTables(damaged, tables);
            if (outcome.error != 0) {
                ++errors;
                EXPECT_TRUE(outcome.error == DaoError::Corrupt ||
                            outcome.error == DaoError::TableNotFound ||
                            outcome.error == DaoError::UnrecognizedFormat)
                    << damage.name << ": error " << outcome.error << " " << outcome.description;
            } else if (damage.truncates) {
                EXPECT_EQ(outcome.rows, intact.rows) << damage.name;
            } else {
                // A flipped bit inside a value can change it (Jet keeps no checksums), but never
                // the number of rows.
                EXPECT_EQ(outcome.rowCounts, intact.rowCounts) << damage.name;
            }
        }
    }
    EXPECT_GT(errors, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("stderr.txt")), "") << "libmdb wrote to standard error";
}

}  // namespace

TEST(JetDamage, DamagedCopiesOfAJet4SourceFailCleanlyOrReadRight) {
    JET_FIXTURE_OR_SKIP(path, "src_demo_V2000.mdb");
    ExpectDamageHandled(path, 4096, {"tblPhraseCategory", "tblPhraseItem", "tblPhraseRelation"});
}

TEST(JetDamage, DamagedCopiesOfAJet3FileFailCleanlyOrReadRight) {
    JET_FIXTURE_OR_SKIP(path, "public/test2V1997.mdb");
    ExpectDamageHandled(path, 2048, {"MSP_PROJECTS"});
}

TEST(JetDamage, AHalfCopiedGlossaryIsAnErrorNamingFileAndTable) {
    JET_FIXTURE_OR_SKIP(path, "src_big_V2000.mdb");
    TempDir dir;
    std::string bytes = ReadFileBytes(path);
    bytes.resize(bytes.size() / 2 / 4096 * 4096);  // whole pages: only the tables tell
    const std::string half = dir.File("half.mdb");
    WriteFileBytes(half, bytes);
    try {
        JetSnapshot snapshot(JetFile::Open(half));
        snapshot.LoadTable("tblPhraseCategory");
        snapshot.LoadTable("tblPhraseItem");
        snapshot.LoadTable("tblPhraseRelation");
        FAIL() << "half a file read without an error";
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, DaoError::Corrupt);
        const std::string& description = e.m_pErrorInfo->m_strDescription;
        EXPECT_NE(description.find(half), std::string::npos) << description;
        EXPECT_NE(description.find("table 'tblPhrase"), std::string::npos) << description;
    }
}

namespace {

// Jet 4 data pages: type 1, their row count at byte 12 and row offsets after it; row 0 ends at
// the page's end, each later row where the one before it starts.
constexpr std::size_t kJet4Page = 4096;
constexpr std::size_t kJet4RowCount = 12;

std::uint16_t Le16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// Where the link of a page's sole row lies (its first four bytes), or 0 when the page is not a
// data page of one row.
std::size_t SoleRowLink(const std::string& bytes, std::size_t page) {
    const std::size_t base = page * kJet4Page;
    if (base + kJet4Page > bytes.size() || bytes[base] != 1) return 0;
    if (Le16At(bytes, base + kJet4RowCount) != 1) return 0;
    const std::size_t start = Le16At(bytes, base + kJet4RowCount + 2) & 0x1FFF;
    return start + 4 < kJet4Page ? base + start : 0;
}

std::uint32_t LinkAt(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(Le16At(bytes, at)) |
           static_cast<std::uint32_t>(Le16At(bytes, at + 2)) << 16;
}

// The first page of a long-value chain at least three rows long: one sole row whose link names
// row 0 of another such page, which names a third.
std::size_t FindChainStart(const std::string& bytes) {
    const auto next = [&](std::size_t page) -> std::size_t {
        const std::size_t link = SoleRowLink(bytes, page);
        if (link == 0) return 0;
        const std::uint32_t pageRow = LinkAt(bytes, link);
        return (pageRow & 0xFF) == 0 && (pageRow >> 8) != page ? pageRow >> 8 : 0;
    };
    for (std::size_t page = 1; page < bytes.size() / kJet4Page; ++page) {
        const std::size_t second = next(page);
        const std::size_t third = second != 0 ? next(second) : 0;
        if (third != 0 && third != page) return page;
    }
    return 0;
}

}  // namespace

// A chain that names a row it has passed would be read round and round until the declared length
// is filled; a definition without columns would reach the snapshot as a table of none. Both are
// damage, reported as such.
TEST(JetDamage, ALoopingLongValueChainIsAnError) {
    JET_FIXTURE_OR_SKIP(path, "src_big_V2000.mdb");
    std::string bytes = ReadFileBytes(path);
    const std::size_t page = FindChainStart(bytes);
    ASSERT_NE(page, 0u) << "no long-value chain found in " << path;
    // The chain's second row now names the first again.
    const std::size_t second = LinkAt(bytes, SoleRowLink(bytes, page)) >> 8;
    const std::size_t secondLink = SoleRowLink(bytes, second);
    const std::uint32_t back = static_cast<std::uint32_t>(page) << 8;
    for (int i = 0; i < 4; ++i) bytes[secondLink + i] = static_cast<char>(back >> (8 * i));
    TempDir dir;
    const std::string looped = dir.File("looped.mdb");
    WriteFileBytes(looped, bytes);
    const Outcome outcome = ReadTables(looped, {"tblPhraseItem"});
    EXPECT_EQ(outcome.error, DaoError::Corrupt) << outcome.description;
    EXPECT_NE(outcome.description.find("loops back"), std::string::npos) << outcome.description;
}

TEST(JetDamage, ATableDefinitionWithoutColumnsIsAnError) {
    JET_FIXTURE_OR_SKIP(path, "src_demo_V2000.mdb");
    std::string bytes = ReadFileBytes(path);
    const std::uint32_t definition =
        JetFile::Open(path)->FindTable("tblPhraseRelation").definitionPage;
    // A Jet 4 table definition counts its columns at byte 45.
    bytes[definition * kJet4Page + 45] = 0;
    bytes[definition * kJet4Page + 46] = 0;
    TempDir dir;
    const std::string empty = dir.File("nocolumns.mdb");
    WriteFileBytes(empty, bytes);
    const Outcome outcome = ReadTables(empty, {"tblPhraseRelation"});
    EXPECT_EQ(outcome.error, DaoError::Corrupt) << outcome.description;
    EXPECT_NE(outcome.description.find("tblPhraseRelation"), std::string::npos)
        << outcome.description;
}
