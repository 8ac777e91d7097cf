#include "platform/sys/Profile.h"

#include "platform/sys/AtomicFile.h"
#include "platform/sys/CzechText.h"
#include "platform/sys/Registry.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

namespace sys {

namespace fs = std::filesystem;

namespace {

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// One line of the file: its text without the line end, and the line end as found ("" on a last
// line without one).
struct Line {
    std::string_view text;
    std::string_view end;
};

std::vector<Line> SplitLines(std::string_view content)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t nl = content.find('\n', pos);
        std::size_t next = nl == std::string_view::npos ? content.size() : nl + 1;
        std::size_t textEnd = nl == std::string_view::npos ? content.size() : nl;
        if (textEnd > pos && content[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back({content.substr(pos, textEnd - pos), content.substr(textEnd, next - textEnd)});
        pos = next;
    }
    return lines;
}

// The section name of a "[Name]" line, or nullopt for other lines.
std::optional<std::string_view> SectionOf(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") // byte order mark at the start of the file
        text.remove_prefix(3);
    const std::string_view t = Trim(text);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

// The position of "=" when the line sets `key`, npos otherwise.
std::size_t KeyLine(std::string_view text, std::string_view key)
{
    const std::string_view t = Trim(text);
    if (t.empty() || t.front() == ';')
        return std::string_view::npos;
    const auto eq = text.find('=');
    if (eq == std::string_view::npos || !SameTextCzech(Trim(text.substr(0, eq)), key))
        return std::string_view::npos;
    return eq;
}

struct Location {
    std::size_t sectionLine = std::string_view::npos; // index of the "[Section]" line
    std::size_t keyLine = std::string_view::npos;     // index of the "Key=" line
    std::size_t eq = 0;                               // position of "=" in it
    std::size_t lastContent = 0;                      // last non-blank line of the section
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key)
{
    Location at;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionOf(lines[i].text);
        if (at.sectionLine == std::string_view::npos) {
            if (name && SameTextCzech(*name, Trim(section))) {
                at.sectionLine = at.lastContent = i;
            }
            continue;
        }
        if (name) // the next section begins
            break;
        if (!Trim(lines[i].text).empty())
            at.lastContent = i;
        if (const auto eq = KeyLine(lines[i].text, Trim(key)); eq != std::string_view::npos) {
            at.keyLine = i;
            at.eq = eq;
            break;
        }
    }
    return at;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

} // namespace

fs::path ProfileFilePath()
{
    if (const char* own = std::getenv("LENDAR_PROFILE"); own && *own)
        return own;
    return RegistryFilePath().parent_path() / "win.ini";
}

Status WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                          const fs::path& file)
{
    if (Trim(section).empty() || HasLineBreak(section) || section.find(']') != std::string_view::npos)
        return Status::Fail("Neplatný název oddílu souboru " + file.string() + ": „" +
                            std::string(section) + "“.");
    if (Trim(key).empty() || HasLineBreak(key) || key.find('=') != std::string_view::npos ||
        Trim(key).front() == ';' || Trim(key).front() == '[')
        return Status::Fail("Neplatný název položky souboru " + file.string() + ": „" +
                            std::string(key) + "“.");
    if (HasLineBreak(value))
        return Status::Fail("Hodnota položky " + std::string(key) + " nesmí obsahovat konec řádku.");

    std::string content;
    mode_t mode = 0644;
    struct stat st {};
    if (stat(file.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
        if (Status s = ReadWholeFile(file, content); !s)
            return s;
    } else if (errno != ENOENT) {
        return Status::Fail("Nelze číst soubor " + file.string() + ".");
    }

    const std::vector<Line> lines = SplitLines(content);
    // New lines take the line end the file already uses.
    const std::string_view eol =
        !lines.empty() && lines.front().end == "\r\n" ? std::string_view("\r\n") : "\n";
    const Location at = Locate(lines, section, key);

    std::string out;
    out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
    auto append = [&](const Line& l) {
        out.append(l.text);
        out.append(l.end);
    };
    const std::string newEntry = std::string(key) + "=" + std::string(value);
    if (at.sectionLine == std::string_view::npos) {
        out = content;
        if (!out.empty() && out.back() != '\n')
            out += eol;
        out += "[" + std::string(section) + "]";
        out += eol;
        out += newEntry;
        out += eol;
    } else {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i == at.keyLine) {
                out.append(lines[i].text.substr(0, at.eq + 1)); // the key as written in the file
                out.append(value);
                out.append(lines[i].end);
                continue;
            }
            append(lines[i]);
            if (at.keyLine == std::string_view::npos && i == at.lastContent) {
                if (lines[i].end.empty())
                    out += eol;
                out += newEntry;
                out += lines[i].end.empty() ? std::string_view() : eol;
            }
        }
    }
    return WriteFileAtomically(file, out, mode);
}

std::optional<std::string> ReadProfileString(std::string_view section, std::string_view key,
                                             const fs::path& file, Status* status)
{
    if (status)
        *status = Status::Ok();
    std::string content;
    struct stat st {};
    if (stat(file.c_str(), &st) != 0 && errno == ENOENT)
        return std::nullopt;
    if (Status s = ReadWholeFile(file, content); !s) {
        if (status)
            *status = s;
        return std::nullopt;
    }
    const std::vector<Line> lines = SplitLines(content);
    const Location at = Locate(lines, section, key);
    if (at.keyLine == std::string_view::npos)
        return std::nullopt;
    return std::string(Trim(lines[at.keyLine].text.substr(at.eq + 1)));
}

} // namespace sys
