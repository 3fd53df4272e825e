// Throughput of the RTF reader on phrases shaped like those a rich-text editor writes.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "richtext/RtfReader.h"

namespace {

constexpr std::string_view kHeader =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 MS Sans Serif;}})"
    "\r\n"
    R"({\colortbl ;\red0\green0\blue0;}\viewkind4\uc1\pard\plain\f0\fs20 )";

using Words = std::array<std::string_view, 12>;

// Letters outside ASCII as escapes, as editors write them.
constexpr Words kEscapedWords = {
    "the ",      "patient ",    "reports ",   "caf\\'e9 ",  "r\\'e9sum\\'e9 ", "pain ",
    "\\u8212? ", "{\\b mild} ", "na\\'efve ", "follow-up ", "dose ",           "\\tab "};

// The same letters as raw text, as the database gives a phrase whose writer left them unescaped.
constexpr Words kRawWords = {"the ", "patient ",    "reports ", "café ",      "résumé ", "pain ",
                             "— ",   "{\\b mild} ", "naïve ",   "follow-up ", "dose ",   "\\tab "};

// Phrases of 200 to 2,000 bytes, the same on every run.
std::vector<std::string> MakePhrases(std::size_t count, const Words& words) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> length(200, 2000);
    std::uniform_int_distribution<std::size_t> word(0, words.size() - 1);
    std::uniform_int_distribution<int> paragraph(0, 14);
    std::vector<std::string> phrases;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t target = length(random);
        std::string phrase(kHeader);
        while (phrase.size() + 8 < target) {
            phrase += words[word(random)];
            if (paragraph(random) == 0) {
                phrase += "\\par\r\n";
            }
        }
        phrase += "\\par\r\n}";
        phrases.push_back(std::move(phrase));
    }
    return phrases;
}

void ReadPhrases(benchmark::State& state, const Words& words) {
    const std::vector<std::string> phrases = MakePhrases(512, words);
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& phrase : phrases) {
            std::string text = RtfToPlainText(phrase);
            benchmark::DoNotOptimize(text);
            bytes += phrase.size();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void BM_RtfToPlainText(benchmark::State& state) { ReadPhrases(state, kEscapedWords); }
BENCHMARK(BM_RtfToPlainText);

void BM_RtfToPlainTextRawText(benchmark::State& state) { ReadPhrases(state, kRawWords); }
BENCHMARK(BM_RtfToPlainTextRawText);

}  // namespace

BENCHMARK_MAIN();
