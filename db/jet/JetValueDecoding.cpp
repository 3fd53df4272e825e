// Turns the bytes of one field into the value the snapshot keeps, reading long values (Memo,
// OLE) whole along their chain of rows, never further than the length they declare.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "db/jet/JetPages.h"
#include "db/jet/JetTableReader.h"
#include "db/jet/LibMdb.h"

namespace {

// A long value's 12-byte reference: its length and kind, then the first row of its chain.
constexpr std::size_t kLongValueHeader = 12;
constexpr std::uint32_t kLongValueInline = 0x80000000;  // the bytes follow the reference
constexpr std::uint32_t kLongValueOneRow = 0x40000000;  // one row holds all of it
constexpr std::uint32_t kLongValueLength = 0x3FFFFFFF;

// A replication ID as Jet writes it: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, the first three
// groups stored little-endian.
std::string GuidText(const unsigned char* g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", Le32(g),
                  Le16(g + 4), Le16(g + 6), g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
    return text;
}

// A Jet 4 decimal: a sign byte, then the magnitude as four little-endian 32-bit words, most
// significant word first.
double DecimalValue(const unsigned char* data, int scale) {
    long double magnitude = 0;
    for (int word = 0; word < 4; ++word) {
        magnitude = magnitude * 4294967296.0L + Le32(data + 1 + 4 * word);
    }
    const auto value = static_cast<double>(magnitude / std::pow(10.0L, scale));
    return (data[0] & 0x80) != 0 ? -value : value;
}

JetValue Integer(std::int64_t value) {
    JetValue v;
    v.kind = JetValueKind::Integer;
    v.integer = value;
    return v;
}

JetValue Real(double value) {
    JetValue v;
    v.kind = JetValueKind::Real;
    v.real = value;
    return v;
}

JetValue Bytes(JetValueKind kind, std::string bytes) {
    JetValue v;
    v.kind = kind;
    v.bytes = std::move(bytes);
    return v;
}

}  // namespace

JetValueKind JetKindOfType(int type) {
    switch (type) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_COMPLEX:
            return JetValueKind::Integer;
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_DATETIME:
        case MDB_NUMERIC:
            return JetValueKind::Real;
        case MDB_TEXT:
        case MDB_MEMO:
        case MDB_REPID:
            return JetValueKind::Text;
        default:
            return JetValueKind::Blob;
    }
}

JetValue JetTableReader::Decode(int column, const unsigned char* data, std::size_t size,
                                bool isNull) const {
    const int type = m_columns[column].type;
    // A Yes/No value lives in the row's null bitmap: a set bit (not null) is Yes, which Jet
    // reads as -1.
    if (type == MDB_BOOL) return Integer(isNull ? 0 : -1);
    if (isNull) return {};
    const auto need = [&](std::size_t bytes) {
        if (size < bytes) {
            Damaged("a value of column '" + m_columns[column].name + "' is cut short");
        }
    };
    switch (type) {
        case MDB_BYTE:
            need(1);
            return Integer(data[0]);
        case MDB_INT:
            need(2);
            return Integer(static_cast<std::int16_t>(Le16(data)));
        case MDB_LONGINT:
        case MDB_COMPLEX:
            need(4);
            return Integer(static_cast<std::int32_t>(Le32(data)));
        case MDB_MONEY: {
            need(8);
            const std::int64_t units = static_cast<std::int64_t>(
                Le32(data) | static_cast<std::uint64_t>(Le32(data + 4)) << 32);
            return Real(static_cast<double>(units) / 10000.0);
        }
        case MDB_FLOAT: {
            need(4);
            float value;
            std::memcpy(&value, data, 4);
            return Real(value);
        }
        case MDB_DOUBLE:
        case MDB_DATETIME: {
            // A date is its stored day count since 1899-12-30 (negative before it), as the engine
            // keeps dates, never libmdb's formatted text.
            need(8);
            double value;
            std::memcpy(&value, data, 8);
            return Real(value);
        }
        case MDB_NUMERIC: {
            need(17);
            return Real(DecimalValue(data, m_columns[column].scale));
        }
        case MDB_REPID:
            need(16);
            return Bytes(JetValueKind::Text, GuidText(data));
        case MDB_TEXT:
            return Bytes(JetValueKind::Text, m_file.TextToUtf8(data, size));
        case MDB_MEMO: {
            const std::string raw = LongValue(data, size);
            return Bytes(
                JetValueKind::Text,
                m_file.TextToUtf8(reinterpret_cast<const unsigned char*>(raw.data()), raw.size()));
        }
        case MDB_OLE:
            return Bytes(JetValueKind::Blob, LongValue(data, size));
        default:
            return Bytes(JetValueKind::Blob,
                         std::string(reinterpret_cast<const char*>(data), size));
    }
}

std::string JetTableReader::LongValue(const unsigned char* field, std::size_t size) const {
    if (size < kLongValueHeader) Damaged("a long value's reference is cut short");
    const std::uint32_t head = Le32(field);
    const std::size_t length = head & kLongValueLength;
    // No value can be longer than the file that holds it; this also bounds every walk below.
    if (length > static_cast<std::size_t>(m_file.PageCount()) * m_file.PageSize()) {
        Damaged("a long value claims " + std::to_string(length) + " bytes");
    }
    std::string value;
    if ((head & kLongValueInline) != 0) {
        if (size - kLongValueHeader < length) Damaged("a long value in its row is cut short");
        value.assign(reinterpret_cast<const char*>(field + kLongValueHeader), length);
        return value;
    }
    std::uint32_t pageRow = Le32(field + 4);
    if ((head & kLongValueOneRow) != 0) {
        const std::string_view row = LongValueRow(pageRow);
        if (row.size() < length) Damaged("a long value's row is shorter than the value");
        value.assign(row.substr(0, length));
        return value;
    }
    // A chain: each row starts with the next row's reference, then a piece of the value. Every
    // step adds at least one byte, so the walk ends within the declared length. A chain that
    // comes back to a row it has passed, or does not end where the value does, is damage: read
    // on, it would give repeated or foreign bytes as the value.
    value.reserve(length);
    std::unordered_set<std::uint32_t> visited;
    while (value.size() < length) {
        if (pageRow == 0) Damaged("a long value's chain ends before the value does");
        if (!visited.insert(pageRow).second) Damaged("a long value's chain loops back on itself");
        const std::string_view row = LongValueRow(pageRow);
        if (row.size() <= 4) Damaged("a long value's chain holds an empty row");
        pageRow = Le32(reinterpret_cast<const unsigned char*>(row.data()));
        const std::size_t piece = row.size() - 4;
        if (piece > length - value.size()) Damaged("a long value's chain holds more than its length");
        value.append(row.substr(4));
    }
    if (pageRow != 0) Damaged("a long value's chain goes on past the value's length");
    return value;
}

std::string_view JetTableReader::LongValueRow(std::uint32_t pageRow) const {
    const std::uint32_t pageNumber = pageRow >> 8;
    const std::uint32_t row = pageRow & 0xFF;
    const unsigned char* page = m_file.Page(pageNumber);
    if (page == nullptr || pageNumber == 0) {
        Damaged("a long value continues on page " + std::to_string(pageNumber) +
                ", but the file has " + std::to_string(m_file.PageCount()) + " pages");
    }
    if (page[0] != kDataPage) Damaged("a long value continues on a page that holds no data");
    const std::size_t pageSize = m_file.PageSize();
    const std::size_t countOffset = m_file.Mdb().handle->fmt->row_count_offset;
    const std::size_t count = Le16(page + countOffset);
    if (row >= count || countOffset + 2 + 2 * count > pageSize) {
        Damaged("a long value names a row its page does not have");
    }
    // Rows fill the page from its end: a row ends where the one before it starts.
    const std::size_t start = Le16(page + countOffset + 2 + 2 * row) & kOffsetMask;
    const std::size_t end = row == 0 ? pageSize : Le16(page + countOffset + 2 * row) & kOffsetMask;
    if (start < countOffset + 2 + 2 * count || start > end || end > pageSize) {
        Damaged("a long value's row has a broken offset");
    }
    return {reinterpret_cast<const char*>(page + start), end - start};
}
