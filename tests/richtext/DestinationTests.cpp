// Groups whose text is not part of the document, and groups that look special but are kept.
#include "ReaderCase.h"

using namespace std::string_literals;

TALLOWMERE_READER_TABLE(
    Destinations, {"FontTable", R"({\rtf1{\fonttbl{\f0\fswiss Arial;}{\f1 Times;}}x})", "x"},
    {"FontTableWithoutInnerGroups", R"({\rtf1{\fonttbl\f0\fswiss Arial;\f1 Times;}x})", "x"},
    {"ColourTable", R"({\rtf1{\colortbl ;\red255\green0\blue0;}x})", "x"},
    {"StyleSheet", R"({\rtf1{\stylesheet{\s0 Normal;}{\s1 Heading;}}x})", "x"},
    {"Info", R"({\rtf1{\info{\title T}{\author A}}x})", "x"},
    {"Picture", R"({\rtf1 a{\pict\wmetafile8 0123abcd}b})", "ab"},
    {"Object", R"({\rtf1 a{\object\objemb{\*\objdata 01}{\result r}}b})", "ab"},
    {"HeadersAndFooters",
     R"({\rtf1{\header h}{\headerl h}{\headerr h}{\headerf h}{\footer f}{\footerl f})"
     R"({\footerr f}{\footerf f}x})",
     "x"},
    {"Footnote", R"({\rtf1 a{\footnote\ftnalt note}b})", "ab"},
    {"Annotation", R"({\rtf1 a{\atnid me}{\atnauthor Me}{\annotation said}b})", "ab"},
    {"StarredUnknownGroup", R"({\rtf1 a{\*\generator Writer 1.0;}b})", "ab"},
    {"StarredKnownGroup", R"({\rtf1 a{\*\bkmkstart mark}b})", "ab"},
    {"StarredGroupAfterLineBreak", "{\\rtf1 a{\r\n\\*\\foo x}b}", "ab"},
    {"NestedGroupsInsideSkipped", R"({\rtf1 a{\info{\title {\b deep} T}}b})", "ab"},
    {"ParInsideSkippedGroupGivesNothing", R"({\rtf1 a{\*\foo \par\tab x}b})", "ab"},
    {"SkipEndsWithItsGroup", R"({\rtf1{\*\foo x}{y}})", "y"},
    {"EscapedBraceInsideSkipped", R"({\rtf1 a{\*\foo \} x}b})", "ab"},
    {"DestinationWordLaterInGroup", R"({\rtf1 a{\b\fldinst x}b})", "ab"});

TALLOWMERE_READER_TABLE(
    HiddenTextFieldsAndLists, {"HiddenTextKept", R"({\rtf1 a{\v hidden}b})", "ahiddenb"},
    {"HiddenSwitchKept", R"({\rtf1 a\v b\v0 c})", "abc"},
    {"FieldResultKeptInstructionDropped",
     R"({\rtf1 see {\field{\*\fldinst HYPERLINK "http://x/"}{\fldrslt here}} now})",
     "see here now"},
    {"UnstarredFieldInstruction", R"({\rtf1 {\field{\fldinst PAGE}{\fldrslt 7}}})", "7"},
    {"FieldResultWithFormatting", R"({\rtf1 {\field{\*\fldinst X}{\fldrslt{\ul\cf2 link}}}})",
     "link"},
    {"ListNumberTextDropped",
     R"({\rtf1 {\pntext\f0 1.\tab}{\*\pn\pnlvlbody\pndec{\pntxta.}}first\par)"
     R"({\pntext\f0 2.\tab}second})",
     "first\r\nsecond"},
    {"ListTextDropped", R"({\rtf1 {\listtext\pard\plain 1.\tab}item})", "item"},
    {"ListTablesDropped",
     R"({\rtf1 {\*\listtable{\list{\listlevel{\leveltext\'02\'00.;}}}})"
     R"({\listoverridetable{\listoverride\ls1}}{\listtable{\list x}}item})",
     "item"},
    {"UnstarredNumberingDefinition", R"({\rtf1 {\pn\pnlvlblt{\pntxtb B}}item})", "item"});
