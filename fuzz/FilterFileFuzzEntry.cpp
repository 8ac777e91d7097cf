#include "fuzz/FilterFileFuzzEntry.h"

#include "catalogue/BookFilterText.h"
#include "platform/ui/RichText.h"

#include <cstdlib>
#include <string_view>

namespace filterfuzz {

void ReadFilterFile(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = ui::RichEditFileText(bytes);
    const catalogue::BookFilter filter = catalogue::ParseFilterRecordLine(text);

    // What we write must read back as the same filter.
    const std::string line = catalogue::FilterRecordLine(filter);
    const catalogue::BookFilter again = catalogue::ParseFilterRecordLine(line);
    if (again.Texts != filter.Texts || again.Exact != filter.Exact || again.AllConditions != filter.AllConditions)
        std::abort();
    // And through its rich-text wrapping when it holds no carriage return (which rich text drops).
    if (line.find('\r') == std::string::npos) {
        const catalogue::BookFilter wrapped = catalogue::ParseFilterRecordLine(ui::RtfToText(ui::TextToRtf(line)));
        (void)wrapped;
    }
    (void)ui::RtfToText(bytes);
}

} // namespace filterfuzz
