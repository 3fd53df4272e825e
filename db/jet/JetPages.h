#pragma once

// Byte layout shared by the Jet reader's files.

#include <cstdint>

#include "db/jet/JetTableReader.h"

inline std::uint32_t Le16(const unsigned char* p) { return p[0] | p[1] << 8; }
inline std::uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Row offsets carry two flags above the 13 bits of the offset.
inline constexpr std::uint32_t kOffsetMask = 0x1FFF;
inline constexpr std::uint32_t kDeletedRow = 0x4000;  // deleted, or the stub of a moved row

inline constexpr unsigned char kDataPage = 0x01;
inline constexpr unsigned char kDefinitionPage = 0x02;

// How a column of libmdb's type number is kept in the snapshot.
JetValueKind JetKindOfType(int type);
