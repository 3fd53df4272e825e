#include "ui/CRichText.h"

#include "richtext/RtfReader.h"

void CRichText::SetTextRTF(const std::string& text) { m_plainText = RtfToPlainText(text); }

std::string CRichText::GetText() const { return m_plainText; }
