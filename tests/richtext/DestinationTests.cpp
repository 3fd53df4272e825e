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
    {"ListLabelsKept", R"({\rtf1\ansi{\listtext 1.\tab}One\par{\listtext 2.\tab}Two})",
     "1.\tOne\r\n2.\tTwo"},
    {"ListLabelWithFormatting", R"({\rtf1 {\listtext\pard\plain\b\'95\tab}item})", "\u2022\titem"},
    {"StarredListTextDropped", R"({\rtf1 {\*\listtext 1.\tab}item})", "item"},
    {"NumberingTextDroppedLabelKept",
     R"({\rtf1 {\pntext 1.\tab}{\*\pn\pndec}a\par{\listtext 2.\tab}b})", "a\r\n2.\tb"},
    {"ListTablesDropped",
     R"({\rtf1 {\*\listtable{\list{\listlevel{\leveltext\'02\'00.;}}}})"
     R"({\listoverridetable{\listoverride\ls1}}{\listtable{\list x}}item})",
     "item"},
    {"UnstarredNumberingDefinition", R"({\rtf1 {\pn\pnlvlblt{\pntxtb B}}item})", "item"});

// Destinations the control's reader knows are skipped whether or not "\*" comes first; a "*"
// written without its backslash is text.
TALLOWMERE_READER_TABLE(
    KnownDestinationsWithoutStar,
    {"GeneratorAfterLiteralStar", R"({\rtf1\ansi{*\generator Foo;}A})", "*A"},
    {"Bookmarks", R"({\rtf1 a{\bkmkstart m}b{\bkmkend m}c})", "abc"},
    {"InformationWordsOutsideInfo",
     R"({\rtf1 {\title T}{\subject S}{\author A}{\operator O}{\keywords K}{\comment C})"
     R"({\doccomm D}{\version V}x})",
     "x"},
    {"IndexAndContentsEntries", R"({\rtf1 a{\xe x}{\txe see}{\rxe r}{\tc Heading}b})", "ab"},
    {"ObjectParts",
     R"({\rtf1 {\objclass C}{\objname N}{\objdata 01}{\objalias A}{\objsect S})"
     R"({\objtime T}{\objitem I}{\objtopic P}{\result R}x})",
     "x"},
    {"FilesRevisionsAndTemplates",
     R"({\rtf1 {\filetbl t}{\file a.doc}{\revtbl{Unknown;}}{\template t}{\nextfile n}x})", "x"},
    {"AnnotationReferencesAndDataFields",
     R"({\rtf1 a{\atrfstart 1}{\atrfend 1}{\datafield 0102}b})", "ab"},
    {"FontWordsOutsideFontTable", R"({\rtf1 a{\falt B}{\fontemb e}{\fontfile f}{\keycode k}b})",
     "ab"},
    {"DrawingAndPictureFallbacks", R"({\rtf1 a{\do\dobxcolumn x}{\nonshppict p}{\NeXTGraphic g}b})",
     "ab"},
    {"NumberingAndMathProperties", R"({\rtf1 {\pnseclvl1\pnucrm x}{\mmathPr\mdispDef1 y}z})", "z"},
    {"NestedTablePropertiesSkipped", R"({\rtf1 a{\nesttableprops\trowd x\nestrow}b})", "ab"},
    {"NestedTableRowEndsKept",
     R"({\rtf1 a\nestcell{\*\nesttableprops\nestrow}{\nonesttables\par}b})", "a\r\nb"},
    {"UnknownDestinationAfterLiteralStar", R"({\rtf1 {*\foo x}y})", "*xy"},
    {"KnownDestinationMidGroup", R"({\rtf1 a{\b b\generator c}d})", "abd"});
