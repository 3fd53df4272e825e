#include "db/jet/JetFormat.h"

#include <cstring>

namespace {

constexpr unsigned char kMagic[4] = {0x00, 0x01, 0x00, 0x00};
constexpr char kJetText[] = "Standard Jet DB";
constexpr char kAceText[] = "Standard ACE DB";
constexpr std::size_t kVersionOffset = 0x14;

}  // namespace

JetVersion JetVersionOfHeader(const unsigned char* header, std::size_t length) {
    if (length < kJetHeaderBytes || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        return JetVersion::NotJet;
    }
    // The text includes its terminating zero.
    if (std::memcmp(header + 4, kAceText, sizeof kAceText) == 0) return JetVersion::Unsupported;
    if (std::memcmp(header + 4, kJetText, sizeof kJetText) != 0) return JetVersion::NotJet;
    const std::uint32_t version = header[kVersionOffset] | header[kVersionOffset + 1] << 8 |
                                  header[kVersionOffset + 2] << 16 |
                                  static_cast<std::uint32_t>(header[kVersionOffset + 3]) << 24;
    if (version == 0) return JetVersion::Jet3;
    if (version == 1) return JetVersion::Jet4;
    return JetVersion::Unsupported;
}

std::size_t JetPageSize(JetVersion version) {
    switch (version) {
        case JetVersion::Jet3:
            return 2048;
        case JetVersion::Jet4:
            return 4096;
        default:
            return 0;
    }
}

std::size_t JetMinimumFileSize(JetVersion version) { return 3 * JetPageSize(version); }
