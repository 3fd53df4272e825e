#pragma once

#include <cstddef>
#include <cstdint>

// What a file's first bytes say it is, checked by the reader itself before libmdb sees the file
// (libmdb takes an empty file, or a page of zeros, for a Jet 3 database).
enum class JetVersion {
    NotJet,       // no Jet or ACE header at all
    Jet3,         // "Standard Jet DB", version 0: 2 KiB pages, text in the file's code page
    Jet4,         // "Standard Jet DB", version 1: 4 KiB pages, UCS-2 text
    Unsupported,  // a Jet header this reader does not know (ACE / accdb, later versions)
};

JetVersion JetVersionOfHeader(const unsigned char* header, std::size_t length);

// Bytes per page of a version the reader knows; 0 for the others.
std::size_t JetPageSize(JetVersion version);

// The smallest file that can hold a database of that version: the header page, the first free
// page map and the system catalog's definition.
std::size_t JetMinimumFileSize(JetVersion version);

// How many bytes of a file's start JetVersionOfHeader needs to decide.
inline constexpr std::size_t kJetHeaderBytes = 0x18;
