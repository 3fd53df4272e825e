#pragma once

#include <cstdint>
#include <string_view>

// One column value as a store hands it over: the engine turns it into the bound member's type.
struct StoreValue {
    enum class Kind { Null, Integer, Real, Text, Blob };

    Kind kind = Kind::Null;
    int64_t integer = 0;
    double real = 0.0;
    std::string_view bytes;  // Text: in the system code page; Blob: raw bytes

    static StoreValue Null() { return {}; }
    static StoreValue Integer(int64_t value) { return {Kind::Integer, value, 0.0, {}}; }
    static StoreValue Real(double value) { return {Kind::Real, 0, value, {}}; }
    static StoreValue Text(std::string_view text) { return {Kind::Text, 0, 0.0, text}; }
    static StoreValue Blob(std::string_view data) { return {Kind::Blob, 0, 0.0, data}; }
};
