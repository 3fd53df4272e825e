#include "richtext/ControlWords.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct Entry {
    std::string_view name;
    ControlWordInfo info;
};

using K = ControlWordKind;

// Sorted by name, so that each first letter owns one contiguous run.
//
// The skipped destinations are those the control's reader knows and passes over with their whole
// group, whether or not "\*" comes first: the destinations of the early RTF specifications, which
// every reader must know, and later ones it knows or writes itself (\generator, \nesttableprops,
// \nonshppict, \mmathPr); list tables, which hold no text, too. Some writers drop the backslash of
// "\*", and such a group's text must still stay out. A destination that reader does not know is
// text unless starred: \listtext, the list label written for readers without \ls numbering, and
// \nonesttables, the row ends written for readers without nested tables (this reader has none).
// \field and \fldrslt are not skipped: the field's result is text.
constexpr std::array kEntries = std::to_array<Entry>({
    {"aftncn", {K::SkippedDestination}},
    {"aftnsep", {K::SkippedDestination}},
    {"aftnsepc", {K::SkippedDestination}},
    {"annotation", {K::SkippedDestination}},
    {"ansi", {K::DocumentCharset, 1252}},
    {"ansicpg", {K::AnsiCodePage}},
    {"atnauthor", {K::SkippedDestination}},
    {"atndate", {K::SkippedDestination}},
    {"atnicn", {K::SkippedDestination}},
    {"atnid", {K::SkippedDestination}},
    {"atnref", {K::SkippedDestination}},
    {"atntime", {K::SkippedDestination}},
    {"atrfend", {K::SkippedDestination}},
    {"atrfstart", {K::SkippedDestination}},
    {"author", {K::SkippedDestination}},
    {"bin", {K::Binary}},
    {"bkmkend", {K::SkippedDestination}},
    {"bkmkstart", {K::SkippedDestination}},
    {"bullet", {K::Symbol, 0x2022}},
    {"cell", {K::Symbol, U'\t'}},
    {"colortbl", {K::SkippedDestination}},
    {"comment", {K::SkippedDestination}},
    {"cpg", {K::FontCodePage}},
    {"datafield", {K::SkippedDestination}},
    {"deff", {K::DefaultFont}},
    {"do", {K::SkippedDestination}},
    {"doccomm", {K::SkippedDestination}},
    {"emdash", {K::Symbol, 0x2014}},
    {"emspace", {K::Symbol, U' '}},
    {"endash", {K::Symbol, 0x2013}},
    {"enspace", {K::Symbol, U' '}},
    {"f", {K::Font}},
    {"falt", {K::SkippedDestination}},
    {"fcharset", {K::FontCharset}},
    {"file", {K::SkippedDestination}},
    {"filetbl", {K::SkippedDestination}},
    {"fldinst", {K::SkippedDestination}},
    {"fontemb", {K::SkippedDestination}},
    {"fontfile", {K::SkippedDestination}},
    {"fonttbl", {K::FontTable}},
    {"footer", {K::SkippedDestination}},
    {"footerf", {K::SkippedDestination}},
    {"footerl", {K::SkippedDestination}},
    {"footerr", {K::SkippedDestination}},
    {"footnote", {K::SkippedDestination}},
    {"ftncn", {K::SkippedDestination}},
    {"ftnsep", {K::SkippedDestination}},
    {"ftnsepc", {K::SkippedDestination}},
    {"generator", {K::SkippedDestination}},
    {"header", {K::SkippedDestination}},
    {"headerf", {K::SkippedDestination}},
    {"headerl", {K::SkippedDestination}},
    {"headerr", {K::SkippedDestination}},
    {"info", {K::SkippedDestination}},
    {"keycode", {K::SkippedDestination}},
    {"keywords", {K::SkippedDestination}},
    {"ldblquote", {K::Symbol, 0x201C}},
    {"line", {K::ParagraphMark}},
    {"listoverridetable", {K::SkippedDestination}},
    {"listtable", {K::SkippedDestination}},
    {"lquote", {K::Symbol, 0x2018}},
    {"mac", {K::DocumentCharset, 10000}},
    {"mmathPr", {K::SkippedDestination}},
    {"nesttableprops", {K::SkippedDestination}},
    {"nextfile", {K::SkippedDestination}},
    {"nonshppict", {K::SkippedDestination}},
    {"objalias", {K::SkippedDestination}},
    {"objclass", {K::SkippedDestination}},
    {"objdata", {K::SkippedDestination}},
    {"object", {K::SkippedDestination}},
    {"objitem", {K::SkippedDestination}},
    {"objname", {K::SkippedDestination}},
    {"objsect", {K::SkippedDestination}},
    {"objtime", {K::SkippedDestination}},
    {"objtopic", {K::SkippedDestination}},
    {"operator", {K::SkippedDestination}},
    {"page", {K::ParagraphMark}},
    {"par", {K::ParagraphMark}},
    {"pc", {K::DocumentCharset, 437}},
    {"pca", {K::DocumentCharset, 850}},
    {"pict", {K::SkippedDestination}},
    {"plain", {K::Plain}},
    {"pn", {K::SkippedDestination}},
    {"pnseclvl", {K::SkippedDestination}},
    {"pntext", {K::SkippedDestination}},
    {"pntxta", {K::SkippedDestination}},
    {"pntxtb", {K::SkippedDestination}},
    {"rdblquote", {K::Symbol, 0x201D}},
    {"result", {K::SkippedDestination}},
    {"revtbl", {K::SkippedDestination}},
    {"row", {K::ParagraphMark}},
    {"rquote", {K::Symbol, 0x2019}},
    {"rxe", {K::SkippedDestination}},
    {"sect", {K::ParagraphMark}},
    {"stylesheet", {K::SkippedDestination}},
    {"subject", {K::SkippedDestination}},
    {"tab", {K::Symbol, U'\t'}},
    {"tc", {K::SkippedDestination}},
    {"template", {K::SkippedDestination}},
    {"title", {K::SkippedDestination}},
    {"txe", {K::SkippedDestination}},
    {"u", {K::Unicode}},
    {"uc", {K::UnicodeFallbackCount}},
    {"verscomm", {K::SkippedDestination}},
    {"version", {K::SkippedDestination}},
    {"xe", {K::SkippedDestination}},
});

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < kEntries.size(); ++i) {
        if (!(kEntries[i - 1].name < kEntries[i].name)) {
            return false;
        }
    }
    return true;
}
static_assert(IsSorted());

// For each lower-case first letter, the range of kEntries starting with it.
constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 26> MakeLetterRanges() {
    std::array<std::pair<std::uint8_t, std::uint8_t>, 26> ranges{};
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        auto& range = ranges[static_cast<std::size_t>(kEntries[i].name[0] - 'a')];
        if (range.first == range.second) {
            range.first = static_cast<std::uint8_t>(i);
        }
        range.second = static_cast<std::uint8_t>(i + 1);
    }
    return ranges;
}
constexpr auto kLetterRanges = MakeLetterRanges();

}  // namespace

ControlWordInfo LookupControlWord(std::string_view name) {
    if (name.empty() || name[0] < 'a' || name[0] > 'z') {
        // The one destination that reader knows whose name is not all lower case.
        return name == "NeXTGraphic" ? ControlWordInfo{K::SkippedDestination} : ControlWordInfo{};
    }
    const auto [first, last] = kLetterRanges[static_cast<std::size_t>(name[0] - 'a')];
    for (std::size_t i = first; i < last; ++i) {
        if (kEntries[i].name == name) {
            return kEntries[i].info;
        }
    }
    return {};
}
