#include "db/jet/JetFile.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "db/DaoException.h"
#include "db/jet/JetTableReader.h"
#include "db/jet/JetText.h"
#include "db/jet/LibMdb.h"

namespace {

// The system catalog's definition always sits on this page.
constexpr std::uint32_t kCatalogPage = 2;

struct FileBytes {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
};

FileBytes ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            ThrowDaoException(DaoError::FileNotFound, "Could not find file '" + path + "'.");
        }
        ThrowDaoException(DaoError::NoPermission,
                          "You do not have permission to open the database '" + path + "'.");
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        ThrowDaoException(DaoError::InvalidPath, "'" + path + "' is not a database file.");
    }
    // Read, not mapped: a mapping of a file another program cuts short would crash the reader.
    FileBytes file;
    const auto capacity = static_cast<std::size_t>(info.st_size);
    file.bytes = std::make_unique_for_overwrite<char[]>(capacity + 1);
    while (file.size < capacity) {
        const ssize_t got = read(fd, file.bytes.get() + file.size, capacity - file.size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            close(fd);
            ThrowDaoException(DaoError::DiskIo,
                              "Disk or network error while reading '" + path + "'.");
        }
        if (got == 0) break;  // the file shrank while it was read
        file.size += static_cast<std::size_t>(got);
    }
    close(fd);
    return file;
}

}  // namespace

std::unique_ptr<JetFile> JetFile::Open(const std::string& path) {
    FileBytes file = ReadWholeFile(path);
    return FromBytes(std::move(file.bytes), file.size, path);
}

std::unique_ptr<JetFile> JetFile::FromBytes(std::string bytes, std::string name) {
    auto copy = std::make_unique_for_overwrite<char[]>(bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return FromBytes(std::move(copy), bytes.size(), std::move(name));
}

std::unique_ptr<JetFile> JetFile::FromBytes(std::unique_ptr<char[]> bytes, std::size_t size,
                                            std::string name) {
    const JetVersion version =
        JetVersionOfHeader(reinterpret_cast<const unsigned char*>(bytes.get()), size);
    if (version == JetVersion::NotJet) {
        ThrowDaoException(DaoError::UnrecognizedFormat,
                          "Unrecognized database format '" + name + "'. It is not a Jet database.");
    }
    if (version == JetVersion::Unsupported) {
        ThrowDaoException(DaoError::UnrecognizedFormat,
                          "Unrecognized database format '" + name +
                              "'. It is a Jet or ACE database of a version this program cannot "
                              "read; it reads Jet 3 and Jet 4 (.mdb) files.");
    }
    return std::unique_ptr<JetFile>(new JetFile(std::move(bytes), size, std::move(name), version));
}

JetFile::JetFile(std::unique_ptr<char[]> bytes, std::size_t size, std::string path,
                 JetVersion version)
    : m_bytes(std::move(bytes)), m_size(size), m_path(std::move(path)), m_version(version) {
    const std::size_t pageSize = JetPageSize(version);
    if (m_size < JetMinimumFileSize(version)) {
        Damaged("it holds only " + std::to_string(m_size) +
                " bytes, fewer than the smallest database of its version");
    }
    if (m_size % pageSize != 0) {
        Damaged("its " + std::to_string(m_size) + " bytes are not a whole number of " +
                std::to_string(pageSize) + "-byte pages");
    }
    m_pageCount = static_cast<std::uint32_t>(m_size / pageSize);
    m_mdb = std::make_unique<JetMdb>();
    {
        LibMdbQuiet quiet;
        m_mdb->handle = mdb_open_buffer(m_bytes.get(), m_size, MDB_NOFLAGS);
    }
    MdbHandle* mdb = m_mdb->handle;
    if (mdb == nullptr) Damaged("its header page cannot be read");
    const bool jet4 = mdb->f->jet_version == MDB_VER_JET4;
    if (jet4 != (version == JetVersion::Jet4) ||
        static_cast<std::size_t>(mdb->fmt->pg_size) != pageSize) {
        Damaged("its header page contradicts itself");
    }
    if (version == JetVersion::Jet3) {
        m_codePageText = std::make_unique<CodePageText>(mdb->f->code_page);
    }
}

JetFile::~JetFile() = default;

const unsigned char* JetFile::Page(std::uint32_t page) const {
    if (page >= m_pageCount) return nullptr;
    return reinterpret_cast<const unsigned char*>(m_bytes.get()) +
           static_cast<std::size_t>(page) * PageSize();
}

void JetFile::Damaged(const std::string& detail) const {
    ThrowDaoException(DaoError::Corrupt, "The Jet database '" + m_path +
                                             "' is damaged or cut short: " + detail +
                                             ". Nothing is read from a damaged file.");
}

std::string JetFile::TextToUtf8(const unsigned char* data, std::size_t size) const {
    if (m_codePageText) return m_codePageText->ToUtf8(data, size);
    return Jet4TextToUtf8(data, size);
}

const std::vector<JetCatalogEntry>& JetFile::Catalog() {
    if (m_catalogRead) return m_catalog;
    JetCatalogEntry catalog;
    catalog.name = "MSysObjects";
    catalog.type = kJetLocalTable;
    catalog.definitionPage = kCatalogPage;
    JetTableReader reader(*this, catalog);
    const int id = reader.ColumnIndex("Id");
    const int name = reader.ColumnIndex("Name");
    const int type = reader.ColumnIndex("Type");
    const int flags = reader.ColumnIndex("Flags");
    if (id < 0 || name < 0 || type < 0 || flags < 0) {
        Damaged("its system catalog lacks the columns every database has");
    }
    std::vector<JetCatalogEntry> entries;
    // Only the four plain columns are read: the property records (LvProp) are never parsed.
    reader.ReadRows({id, name, type, flags}, [&](const std::vector<JetValue>& row) {
        if (row[0].kind != JetValueKind::Integer || row[1].kind != JetValueKind::Text ||
            row[2].kind != JetValueKind::Integer) {
            return;  // entries without a page, name or type are not tables
        }
        JetCatalogEntry entry;
        entry.name = row[1].bytes;
        entry.type = static_cast<int>(row[2].integer & 0x7F);
        entry.flags =
            row[3].kind == JetValueKind::Integer ? static_cast<std::uint32_t>(row[3].integer) : 0;
        entry.definitionPage = static_cast<std::uint32_t>(row[0].integer) & 0x00FFFFFF;
        entries.push_back(std::move(entry));
    });
    m_catalog = std::move(entries);
    m_catalogRead = true;
    return m_catalog;
}

const JetCatalogEntry& JetFile::FindTable(const std::string& name) {
    const JetCatalogEntry* found = nullptr;
    for (const JetCatalogEntry& entry : Catalog()) {
        if (strcasecmp(entry.name.c_str(), name.c_str()) != 0) continue;
        if (entry.type == kJetLocalTable) return entry;
        found = &entry;
    }
    if (found != nullptr) {
        const std::string what = found->type == 5 ? "a saved query" : "a linked table";
        ThrowDaoException(DaoError::TableNotFound,
                          "'" + name + "' in '" + m_path + "' is " + what +
                              ", not a table; the glossary is read from its tables only.");
    }
    ThrowDaoException(
        DaoError::TableNotFound,
        "The database engine cannot find the table or query '" + name + "' in '" + m_path + "'.");
}
