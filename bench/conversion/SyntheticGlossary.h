#pragma once

#include <cstddef>
#include <string>

// A generated glossary of the given size: one category per 50 items, about 1.5 relations per
// item, phrase rich text of 200 to 2,000 bytes as an editor writes it, and a destination that
// already holds a third of the keys.
struct SyntheticGlossary {
    std::string source;
    std::string destination;
};

SyntheticGlossary MakeSyntheticGlossary(const std::string& folder, std::size_t items);
// Where MakeSyntheticGlossary puts the glossary of that size.
SyntheticGlossary GlossaryFiles(const std::string& folder, std::size_t items);
