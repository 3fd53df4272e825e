#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/jet/JetFormat.h"

class CodePageText;
// libmdb's handle, behind a name of our own (its header declares it as an unnamed struct).
struct JetMdb;

// An object the system catalog (MSysObjects) lists.
struct JetCatalogEntry {
    std::string name;
    int type = 0;  // 1 a local table, 4 and 6 linked tables, 5 a query
    std::uint32_t flags = 0;
    std::uint32_t definitionPage = 0;
};

inline constexpr int kJetLocalTable = 1;

// A Jet 3 or Jet 4 database file, read whole into memory through a read-only descriptor and
// handed to libmdb as a buffer, so the file itself is never opened for writing and libmdb never
// sees a size other than the one checked here.
class JetFile {
public:
    // Reads the file at path; failures raise engine errors naming it.
    static std::unique_ptr<JetFile> Open(const std::string& path);
    // A database held in memory; name stands for the file in error descriptions.
    static std::unique_ptr<JetFile> FromBytes(std::string bytes, std::string name);
    static std::unique_ptr<JetFile> FromBytes(std::unique_ptr<char[]> bytes, std::size_t size,
                                              std::string name);

    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    const std::string& Path() const { return m_path; }
    JetVersion Version() const { return m_version; }
    std::size_t PageSize() const { return JetPageSize(m_version); }
    std::uint32_t PageCount() const { return m_pageCount; }
    const unsigned char* Page(std::uint32_t page) const;
    JetMdb& Mdb() const { return *m_mdb; }

    // The catalog's entries, read on first use without its property records (libmdb's own
    // catalog reader never returns from some damaged ones).
    const std::vector<JetCatalogEntry>& Catalog();
    // The local table of that name (compared as Jet does, without regard to case); 3078 when
    // there is none.
    const JetCatalogEntry& FindTable(const std::string& name);

    // Raises 3049 for damage found in the file; detail names the table and what is wrong.
    [[noreturn]] void Damaged(const std::string& detail) const;

    // Decodes text as the file stores it (Jet 3: the file's code page; Jet 4: UCS-2, compressed
    // or not) into UTF-8.
    std::string TextToUtf8(const unsigned char* data, std::size_t size) const;

private:
    JetFile(std::unique_ptr<char[]> bytes, std::size_t size, std::string path, JetVersion version);

    std::unique_ptr<char[]> m_bytes;
    std::size_t m_size = 0;
    std::string m_path;
    JetVersion m_version;
    std::uint32_t m_pageCount = 0;
    std::unique_ptr<JetMdb> m_mdb;
    std::unique_ptr<CodePageText> m_codePageText;
    std::vector<JetCatalogEntry> m_catalog;
    bool m_catalogRead = false;
};
