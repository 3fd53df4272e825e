// libFuzzer entry for the Jet reader: any bytes, read as a database file, must end in an engine
// error or in tables copied whole, never in a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/DaoException.h"
#include "db/jet/JetFile.h"
#include "db/jet/JetSnapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto file =
            JetFile::FromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.mdb");
        std::vector<std::string> tables;
        for (const JetCatalogEntry& entry : file->Catalog()) {
            if (entry.type == kJetLocalTable) tables.push_back(entry.name);
        }
        JetSnapshot snapshot(std::move(file));
        for (const std::string& table : tables) {
            try {
                snapshot.LoadTable(table);
            } catch (const CDaoException&) {
                // one damaged table; the others are still read
            }
        }
    } catch (const CDaoException&) {
    } catch (const CMemoryException&) {
    }
    return 0;
}
