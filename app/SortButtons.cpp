#include "app/SortButtons.h"

#include <QBitmap>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <cctype>
#include <optional>

namespace app {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether `text` at `at` holds "ORDER", blanks, "BY" and then a blank or the end; the position
// after "BY" when it does.
std::optional<std::size_t> OrderByAt(const std::string& text, std::size_t at)
{
    const auto word = [&text](std::size_t i, const char* expected) -> std::optional<std::size_t> {
        for (; *expected != '\0'; ++expected, ++i)
            if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) != *expected)
                return std::nullopt;
        return i;
    };
    auto after = word(at, "ORDER");
    if (!after || *after >= text.size() || !IsBlank(text[*after]))
        return std::nullopt;
    std::size_t i = *after;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    after = word(i, "BY");
    if (!after || (*after < text.size() && !IsBlank(text[*after])))
        return std::nullopt;
    return after;
}

// Where an ORDER BY clause outside quotes begins in a line, after a blank; npos when none.
std::size_t OrderByClause(const std::string& line)
{
    char quote = 0;
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0; // a doubled quote closes and opens again: the same state results
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (i > 0 && IsBlank(line[i - 1]) && OrderByAt(line, i)) {
            found = i;
        }
    }
    return found;
}

// The plain 10 x 10 marks: an upward arrow (ascending), a downward arrow (descending), a cross.
QIcon DrawnGlyph(std::int16_t state)
{
    QPixmap pixmap(10, 10);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    if (state == kSortAscending) {
        painter.drawPolygon(QPolygon({QPoint(5, 1), QPoint(9, 6), QPoint(1, 6)}));
        painter.drawRect(4, 6, 1, 3);
    } else if (state == kSortDescending) {
        painter.drawPolygon(QPolygon({QPoint(5, 8), QPoint(9, 3), QPoint(1, 3)}));
        painter.drawRect(4, 0, 1, 3);
    } else {
        painter.drawLine(2, 2, 7, 7);
        painter.drawLine(2, 7, 7, 2);
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace

const char* SortIconFile(std::int16_t state)
{
    switch (state) {
    case kSortAscending:
        return "ICO01.bmp";
    case kSortDescending:
        return "ICO03.bmp";
    default:
        return "ICO02.bmp";
    }
}

void SortButtons::SetColumns(std::vector<SortColumn> columns)
{
    columns_ = std::move(columns);
    glyphs_.assign(columns_.size(), Glyph{});
}

void SortButtons::Press(std::size_t index, const std::filesystem::path& iconFolder)
{
    std::int16_t& state = *columns_.at(index).State;
    if (state == kSortAscending) {
        // Ascending to not sorted; the other columns stay as they are.
        state = kSortNone;
        SetGlyph(index, kSortNone, iconFolder);
        return;
    }
    // Descending to ascending; not sorted (or anything else) to descending.
    state = state == kSortDescending ? kSortAscending : kSortDescending;
    SetGlyph(index, state, iconFolder);
    for (std::size_t other = 0; other < columns_.size(); ++other) {
        if (other == index)
            continue;
        *columns_[other].State = kSortNone;
        SetGlyph(other, kSortNone, iconFolder);
    }
}

void SortButtons::ShowStartGlyphs()
{
    bool sortedShown = false;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const std::int16_t state = *columns_[i].State;
        const std::int16_t shown = !sortedShown && state != kSortNone ? state : kSortNone;
        sortedShown = sortedShown || shown != kSortNone;
        columns_[i].Button->SetGlyph(DrawnGlyph(shown));
        glyphs_[i] = Glyph{shown, false};
    }
}

void SortButtons::SetGlyph(std::size_t index, std::int16_t state, const std::filesystem::path& iconFolder)
{
    QImage image;
    const bool loaded = image.load(QString::fromStdString((iconFolder / SortIconFile(state)).string())) &&
                        !image.isNull();
    if (loaded) {
        // As with button glyphs generally, the bottom-left pixel's colour is transparent.
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setMask(pixmap.createMaskFromColor(image.pixelColor(0, image.height() - 1)));
        columns_[index].Button->SetGlyph(QIcon(pixmap));
    } else {
        columns_[index].Button->SetGlyph(DrawnGlyph(state));
    }
    glyphs_[index] = Glyph{state, loaded};
}

std::string SortButtons::OrderBy() const
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (*columns_[i].State == kSortAscending || *columns_[i].State == kSortDescending)
            return OrderByOf(i);
    return Unsorted;
}

std::string SortButtons::OrderByOf(std::size_t index) const
{
    const SortColumn& column = columns_.at(index);
    if (*column.State == kSortAscending)
        return "ORDER BY " + column.Field;
    if (*column.State == kSortDescending)
        return "ORDER BY " + column.Field + " DESC";
    return Unsorted;
}

bool SortButtons::IsOrderByLine(const std::string& line)
{
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return OrderByAt(line, i).has_value();
}

void SortButtons::PutOrderBy(data::TStrings& sql, const std::string& orderBy)
{
    if (sql.Count() > 0) {
        const int last = sql.Count() - 1;
        if (IsOrderByLine(sql[last])) {
            sql.Delete(last);
        } else if (const std::size_t clause = OrderByClause(sql[last]); clause != std::string::npos) {
            std::string kept = sql[last].substr(0, clause);
            while (!kept.empty() && IsBlank(kept.back()))
                kept.pop_back();
            sql.SetStrings(last, kept);
        }
    }
    sql.Add(orderBy);
}

} // namespace app
