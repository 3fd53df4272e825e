#pragma once

#include <string>

// The rich-text control the conversion turns phrase text with. Where the platform cannot host the
// real control this is a hidden stand-in over our own RTF reader, providing the same two
// operations.
class CRichText {
public:
    static constexpr const char* kClassId = "{3B7C8860-D78F-101B-B9B5-04021C009402}";
    static constexpr const char* kRuntimeClassName = "CRichText";

    // The control's rich-text property (dispatch id 10).
    void SetTextRTF(const std::string& text);
    // The control's plain text (DISPID_TEXT), in the system code page.
    std::string GetText() const;

private:
    std::string m_plainText;
};
