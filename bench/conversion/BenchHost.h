#pragma once

#include <string>

#include "convert/ConversionHost.h"

// A host for benchmark runs: no window, every message kept for the results line.
class BenchHost : public ConversionHost {
public:
    int ShowOwnedMessage(const std::string& text, const std::string&, unsigned) override {
        messages += text + "\n";
        return IDOK;
    }
    int ShowAppMessage(const std::string& text, unsigned) override {
        messages += text + "\n";
        return IDOK;
    }
    void EnableStartButton(bool) override {}
    CRichText& RichTextControl() override { return richText; }

    CRichText richText;
    std::string messages;
};
