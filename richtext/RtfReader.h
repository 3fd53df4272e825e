#pragma once

#include <string>
#include <string_view>

// Plain text of a rich-text string, as the rich-text control yields it, in the system code page.
// A string that does not begin with "{\rtf" is plain text already and comes back unchanged.
std::string RtfToPlainText(std::string_view input);
