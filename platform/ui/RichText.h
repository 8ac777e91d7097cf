#pragma once
// The rich-text wrapping of plain text used by TRichEdit files: a small writer and a reader that
// takes the text of any ordinary rich-text document (groups, control words, \'hh in code page
// 1250, \uN) and skips font tables, colour tables and other destinations.

#include <string>
#include <string_view>

namespace ui {

// A rich-text document whose text is `text` (UTF-8; lines separated by "\n").
std::string TextToRtf(std::string_view text);
// True when the bytes start like a rich-text document.
bool LooksLikeRtf(std::string_view bytes);
// The text of a rich-text document as UTF-8, lines separated by "\n", without a trailing line end.
std::string RtfToText(std::string_view rtf);

} // namespace ui
