// Control words and symbols that stand for characters, and the escapes for the RTF syntax bytes.
#include "ReaderCase.h"

using namespace std::string_literals;

TALLOWMERE_READER_TABLE(Symbols, {"TabWord", R"({\rtf1 a\tab b})", "a\tb"},
                        {"LiteralTab", "{\\rtf1 a\tb}", "a\tb"},
                        {"Cell", R"({\rtf1 a\cell b})", "a\tb"},
                        {"EmspaceAndEnspace", R"({\rtf1 a\emspace b\enspace c})", "a b c"},
                        {"Bullet", R"({\rtf1 \bullet x})", "\u2022x"},
                        {"SingleQuotes", R"({\rtf1 \lquote q\rquote })", "\u2018q\u2019"},
                        {"DoubleQuotes", R"({\rtf1 \ldblquote q\rdblquote })", "\u201Cq\u201D"},
                        {"Dashes", R"({\rtf1 a\emdash b\endash c})", "a\u2014b\u2013c"},
                        {"NonBreakingSpace", R"({\rtf1 a\~b})", "a\u00A0b"},
                        {"NonBreakingHyphen", R"({\rtf1 a\_b})", "a\u2011b"},
                        {"OptionalHyphenGivesNothing", R"({\rtf1 co\-op})", "coop"},
                        {"EscapedSyntaxBytes", R"({\rtf1 \\ \{ \}})", "\\ { }"},
                        {"EscapedBracesDoNotNest", R"({\rtf1 a\}b}c)", "a}b"},
                        {"NulByteIsSpace", "{\\rtf1 a\0b}"s, "a b"},
                        {"HexEscapeOfZeroGivesNothing", R"({\rtf1\ansi a\'00b})", "ab"},
                        {"OneDigitHexZeroGivesNothing", R"({\rtf1 a\'0})", "a"},
                        {"HexZeroBeforeFinalMark", R"({\rtf1 a\par\'00})", "a"},
                        {"HexZeroIsOneFallbackCharacter", R"({\rtf1 \u233\'00x})", "éx"},
                        {"UnicodeZeroGivesNothing", R"({\rtf1 a\u0?b})", "ab"},
                        {"SymbolWordNeedsExactName", R"({\rtf1 a\tabs b\bullets c})", "abc"},
                        {"WordsAreCaseSensitive", R"({\rtf1 a\PAR b\Tab c})", "abc"});

TALLOWMERE_READER_TABLE(ControlWordSyntax,
                        {"UnknownWordIgnoredTextKept", R"({\rtf1 \foo bar})", "bar"},
                        {"UnknownWordWithParameter", R"({\rtf1 \foo123 bar})", "bar"},
                        {"NegativeParameter", R"({\rtf1 \li-720 x})", "x"},
                        {"OnlyOneDelimitingSpace", R"({\rtf1 \b  x})", " x"},
                        {"DigitEndsWordWithoutSpace", R"({\rtf1 \fs20x})", "x"},
                        {"PunctuationEndsWordAndIsKept", R"({\rtf1 \b;x})", ";x"},
                        {"MinusWithoutDigitsIsText", R"({\rtf1 \b-x})", "-x"},
                        {"HugeParameterSaturates", R"({\rtf1 \fs99999999999999999999 x})", "x"},
                        {"UnknownControlSymbolIgnored", R"({\rtf1 a\|b\:c})", "abc"},
                        {"StarInsideGroupIsNotDestination", R"({\rtf1 {\b \*x}})", "x"},
                        {"HiddenAndFormattingKept",
                         R"({\rtf1 {\b\i\ul\cf1\highlight2 a}\v b\v0 c})", "abc"});
