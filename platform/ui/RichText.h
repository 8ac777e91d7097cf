#pragma once
// The rich-text wrapping of plain text used by TRichEdit files: a small writer and a reader that
// takes the text of any ordinary rich-text document (groups, control words, \'hh in code page
// 1250, \uN) and skips font tables, colour tables and other destinations.

#include <string>
#include <string_view>

namespace ui {

// A rich-text document whose text is `text` (UTF-8; lines separated by "\n"), written as the
// Windows rich-edit control writes it: code page 1250, letters of that code page as \'hh, any
// other character as \uN with a "?" for readers that do not know it.
std::string TextToRtf(std::string_view text);
// True when the bytes start like a rich-text document.
bool LooksLikeRtf(std::string_view bytes);
// The text of a rich-text document as UTF-8, lines separated by "\n", without a trailing line end.
// The code page is the document's \ansicpg (1250 when absent; 852 is also known, any other is
// read as 1250).
std::string RtfToText(std::string_view rtf);
// The text of a file saved by a rich-edit control: a rich-text document's text, or else the file
// as plain text in code page 1250 (UTF-8 when it starts with a UTF-8 byte order mark); CR LF line
// ends become "\n" and the trailing line ends are dropped.
std::string RichEditFileText(std::string_view bytes);

} // namespace ui
