// Which strings are read as rich text, paragraph marks, and the one final mark that is dropped.
#include "ReaderCase.h"

using namespace std::string_literals;

TALLOWMERE_READER_TABLE(Detection, {"PlainTextUnchanged", "a\\par b {x}", "a\\par b {x}"},
                        {"LeadingSpaceIsNotRtf", R"( {\rtf1 a})", R"( {\rtf1 a})"},
                        {"EmptyStringStaysEmpty", "", ""}, {"NineBarSuffixUnchanged", "9|", "9|"},
                        {"BraceWithoutRtfHeaderIsPlain", R"({a\par b})", R"({a\par b})"},
                        {"EmptyGroupIsPlain", "{}", "{}"},
                        {"BracedNameIsPlain", "{Name} is allergic to penicillin",
                         "{Name} is allergic to penicillin"},
                        {"LoneBraceIsPlain", "{", "{"},
                        {"HeaderIsCaseSensitive", R"({\RTF1 a})", R"({\RTF1 a})"},
                        {"RtfHeaderIsRead", R"({\rtf a\par b})", "a\r\nb"});

TALLOWMERE_READER_TABLE(ParagraphMarks, {"FinalParDropped", R"({\rtf1 X\par})", "X"},
                        {"OnlyOneFinalMarkDropped", R"({\rtf1 X\par\par})", "X\r\n"},
                        {"ThreeMarksKeepTwo", R"({\rtf1 X\par\par\par})", "X\r\n\r\n"},
                        {"MarkBetweenParagraphs", R"({\rtf1 a\par b})", "a\r\nb"},
                        {"SectPageLineRow", R"({\rtf1 a\sect b\page c\line d\row e})",
                         "a\r\nb\r\nc\r\nd\r\ne"},
                        {"FinalLineDropped", R"({\rtf1 a\line})", "a"},
                        {"LoneParGivesNothing", R"({\rtf1\par})", ""},
                        {"FinalMarkInNestedGroup", R"({\rtf1 a{\b b\par}})",
                         "a"
                         "b"},
                        {"MarkBeforeSkippedGroupStillFinal", R"({\rtf1 a\par{\*\foo b}})", "a"},
                        {"MarkFollowedByTextIsKept", R"({\rtf1 a\par\par b\par})", "a\r\n\r\nb"},
                        {"RawCrLfIgnored", "{\\rtf1 a\r\nb\nc\rd}", "abcd"},
                        {"BackslashLfIsMark", "{\\rtf1 a\\\nb}", "a\r\nb"},
                        {"BackslashCrIsMark", "{\\rtf1 a\\\rb}", "a\r\nb"},
                        {"BackslashCrLfIsMarkThenIgnoredLf", "{\\rtf1 a\\\r\nb}", "a\r\nb"},
                        {"DelimitingSpaceConsumed", R"({\rtf1 a\par  b})", "a\r\n b"},
                        {"CrLfEndsControlWord", "{\\rtf1 a\\pa\r\nr b}", "ar b"});
