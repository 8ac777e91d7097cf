#include "platform/sys/Registry.h"

#include "platform/sys/AtomicFile.h"
#include "platform/sys/CzechText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

namespace fs = std::filesystem;

// The file holds one value per line, "name=value". A backslash starts an escape (\\ \= \# \n \r \t
// or \xHH for other control bytes), so names and values may hold any text; "#" starts a comment line.

namespace {

const char* kHeader = "# Orbelin Pernoka 2.1: registry key \\Software\\Orbelin\\Pernoka\\2.1\n";

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

void Escape(std::string_view text, std::string& out)
{
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '=': out += "\\="; break;
        case '#': out += "\\#"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += ch;
            }
        }
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Decodes one side of a line; false on a broken escape.
bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case '=': out += '='; break;
        case '#': out += '#'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= text.size())
                return false;
            const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
            if (hi < 0 || lo < 0)
                return false;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

using Values = std::vector<std::pair<std::string, std::string>>;

Values::iterator Find(Values& values, std::string_view name)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        if (SameTextCzech(it->first, name))
            return it;
    return values.end();
}

Status Parse(const fs::path& file, std::string_view content, Values& values)
{
    values.clear();
    std::size_t lineNo = 0;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string_view::npos)
            end = content.size();
        std::string_view line = content.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        // The first "=" that is not escaped separates name and value.
        std::size_t eq = std::string_view::npos;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\')
                ++i;
            else if (line[i] == '=') {
                eq = i;
                break;
            }
        }
        std::string name, value;
        const auto damaged = [&](const std::string& why) {
            return Status::Fail("Soubor registru " + file.string() + " je poškozený: řádek " +
                                std::to_string(lineNo) + " " + why + ".");
        };
        if (eq == std::string_view::npos)
            return damaged("nemá tvar název=hodnota");
        if (!Unescape(line.substr(0, eq), name) || !Unescape(line.substr(eq + 1), value))
            return damaged("obsahuje neplatnou posloupnost se zpětným lomítkem");
        if (name.empty())
            return damaged("nemá název hodnoty");
        if (Find(values, name) != values.end())
            return damaged("opakuje hodnotu " + name);
        values.emplace_back(std::move(name), std::move(value));
    }
    return Status::Ok();
}

std::string Serialize(const Values& values)
{
    std::string out = kHeader;
    for (const auto& [name, value] : values) {
        Escape(name, out);
        out += '=';
        Escape(value, out);
        out += '\n';
    }
    return out;
}

// Reads and parses the key's file; a missing file gives no values and `exists` false.
Status Load(const fs::path& file, Values& values, bool& exists)
{
    values.clear();
    std::string content;
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            exists = false;
            return Status::Ok();
        }
        return Status::Fail("Nelze číst soubor registru " + file.string() + ": " +
                            std::strerror(errno));
    }
    exists = true;
    if (!S_ISREG(st.st_mode))
        return Status::Fail("Soubor registru " + file.string() + " není obyčejný soubor.");
    if (Status s = ReadWholeFile(file, content); !s)
        return s;
    return Parse(file, content, values);
}

bool Writable(const fs::path& path)
{
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

} // namespace

fs::path RegistryFilePath()
{
    if (const char* own = std::getenv("LENDAR_REGISTRY"); own && *own)
        return own;
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        config = xdg;
    else
        config = fs::path(HomeFolder()) / ".config";
    return config / "Orbelin" / "Pernoka-2.1.conf";
}

RegistryKey::RegistryKey(fs::path file) : file_(std::move(file)) {}

Status RegistryKey::Open(bool canCreate)
{
    Close();
    Values values;
    bool exists = false;
    if (Status s = Load(file_, values, exists); !s)
        return s;
    if (!exists) {
        if (!canCreate)
            return Status::Fail("Klíč registru " + std::string(kInstallationKey) +
                                " neexistuje (soubor " + file_.string() + " nebyl nalezen).");
        if (Status s = WriteFileAtomically(file_, Serialize(values), 0600); !s)
            return s;
    } else {
        // Opening the key means reading and writing it: refuse what could not be written later.
        const fs::path folder = file_.has_parent_path() ? file_.parent_path() : fs::path(".");
        if (!Writable(file_) || !Writable(folder))
            return Status::Fail("Klíč registru " + std::string(kInstallationKey) +
                                " nelze otevřít pro zápis: soubor " + file_.string() +
                                " nebo jeho složka je jen pro čtení.");
    }
    values_ = std::move(values);
    open_ = true;
    return Status::Ok();
}

Status RegistryKey::OpenForReading()
{
    Close();
    Values values;
    bool exists = false;
    if (Status s = Load(file_, values, exists); !s)
        return s;
    values_ = std::move(values);
    open_ = true;
    readOnly_ = true;
    return Status::Ok();
}

void RegistryKey::Close()
{
    open_ = false;
    readOnly_ = false;
    values_.clear();
}

bool RegistryKey::ValueExists(std::string_view name) const
{
    return ReadString(name).has_value();
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const
{
    for (const auto& [stored, value] : values_)
        if (SameTextCzech(stored, name))
            return value;
    return std::nullopt;
}

Status RegistryKey::WriteString(std::string_view name, std::string_view value)
{
    if (!open_)
        return Status::Fail("Klíč registru není otevřen.");
    if (readOnly_)
        return Status::Fail("Klíč registru je otevřen jen pro čtení.");
    if (name.empty())
        return Status::Fail("Hodnota registru musí mít název.");
    // Start from what is on disk now, so values written by another program are kept.
    Values values;
    bool exists = false;
    if (Status s = Load(file_, values, exists); !s)
        return s;
    if (auto it = Find(values, name); it != values.end())
        it->second = value;
    else
        values.emplace_back(std::string(name), std::string(value));
    if (Status s = WriteFileAtomically(file_, Serialize(values), 0600); !s)
        return s;
    values_ = std::move(values);
    return Status::Ok();
}

Status RegistryKey::DeleteValue(std::string_view name)
{
    if (!open_)
        return Status::Fail("Klíč registru není otevřen.");
    if (readOnly_)
        return Status::Fail("Klíč registru je otevřen jen pro čtení.");
    Values values;
    bool exists = false;
    if (Status s = Load(file_, values, exists); !s)
        return s;
    const auto it = Find(values, name);
    if (it == values.end()) {
        values_ = std::move(values);
        return Status::Ok();
    }
    values.erase(it);
    if (Status s = WriteFileAtomically(file_, Serialize(values), 0600); !s)
        return s;
    values_ = std::move(values);
    return Status::Ok();
}

} // namespace sys
