#pragma once
// The sort buttons over a list's column titles. Each column has a state (1 ascending, 0
// descending, 2 not sorted), kept in the window's own member, and a glyph button. A press steps
// the column through descending, ascending, not sorted; stepping to a sorted state puts every
// other column at not sorted. The glyphs come from the icon files Data/Icon/ICO01.bmp (ascending),
// ICO02.bmp (not sorted) and ICO03.bmp (descending) below the program folder; a file that cannot
// be read leaves a plain drawn mark instead, so the list is sorted all the same.

#include "platform/data/Strings.h"
#include "platform/ui/Button.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace app {

inline constexpr std::int16_t kSortDescending = 0, kSortAscending = 1, kSortNone = 2;

struct SortColumn {
    std::int16_t* State;  // the window's member holding the column's state
    ui::TBitBtn* Button;  // the glyph button over the column's title
    std::string Field;    // the field the ORDER BY line names
};

class SortButtons {
public:
    // Which picture a button shows, and whether it came from its icon file.
    struct Glyph {
        std::int16_t State = kSortNone;
        bool FromFile = false;
    };

    void SetColumns(std::vector<SortColumn> columns);
    // The line used when no column is sorted.
    std::string Unsorted = "ORDER BY Cislo DESC";

    // Steps column `index` and loads the glyphs of the buttons whose state was set; iconFolder is
    // the folder of the three icon files.
    void Press(std::size_t index, const std::filesystem::path& iconFolder);
    // The drawn glyphs shown before the first press: the first sorted column's mark on its button,
    // the not-sorted mark on the others.
    void ShowStartGlyphs();

    // The ORDER BY line of the first sorted column, or Unsorted.
    std::string OrderBy() const;
    // The ORDER BY line of one column by its own state (Unsorted when it is not sorted).
    std::string OrderByOf(std::size_t index) const;

    const Glyph& GlyphOf(std::size_t index) const { return glyphs_.at(index); }
    std::size_t Count() const { return columns_.size(); }

    // Whether a SQL line is an ORDER BY line of its own.
    static bool IsOrderByLine(const std::string& line);
    // Puts `orderBy` as the last line of the SQL text: it replaces a last line that is an ORDER BY
    // line; otherwise an ORDER BY clause at the end of the last line is cut off and the line added.
    static void PutOrderBy(data::TStrings& sql, const std::string& orderBy);

private:
    void SetGlyph(std::size_t index, std::int16_t state, const std::filesystem::path& iconFolder);

    std::vector<SortColumn> columns_;
    std::vector<Glyph> glyphs_;
};

// The icon file of a state: "ICO01.bmp" ascending, "ICO02.bmp" not sorted, "ICO03.bmp" descending.
const char* SortIconFile(std::int16_t state);

} // namespace app
