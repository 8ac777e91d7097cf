#include "maintenance/transfer/ImportPlan.h"

#include "dbase/DBaseTable.h"
#include "platform/data/Session.h"
#include "platform/data/TableSchema.h"

#include <cstring>

namespace fs = std::filesystem;

namespace transfer {

namespace {

const std::vector<std::pair<std::string, std::string>> kLoanMapping = {
    {"Ctenar", "Ctenar"}, {"KodKnihy", "KodKnihy"}, {"Kniha", "Kniha"},
    {"Pujceno", "Pujceno"}, {"Vraceno", "Vraceno"}, {"Dnu", "Dnu"}};

// The field layout of a column of the source, found without regard to letter case.
const dbase::TMyFieldInfo* ColumnInfo(const dbase::TDBaseTable& source, const std::string& column)
{
    for (const dbase::TMyFieldInfo& info : source.TableFile()->FieldInfos)
        if (strcasecmp(info.Name.c_str(), column.c_str()) == 0)
            return &info;
    return nullptr;
}

fs::path LiveTable(const std::string& name)
{
    return data::Session::ResolveTableFile(fs::current_path(), name);
}

} // namespace

const ImportItem& ImportItemOf(int choice)
{
    static const std::vector<ImportItem> items = {
        {},
        {{{"VýpůjčkyArchiv.db", "VýpůjčkyArchiv.bak"}}, kLoanMapping},
        {{{"Číselníky.db", "Číselníky.bak"},
          {"Číselníky02.db", "Číselníky02.bak"},
          {"Číselníky03.db", "Číselníky03.bak"},
          {"Číselníky04.db", "Číselníky04.bak"}},
         {{"Nazev", "KategCt"}, {"Nazev", "Trida"}, {"Nazev", "TypKnihy"}, {"Nazev", "Umisteni"}}},
        {{{"Čtenáři.db", "Čtenáři.bak"}},
         {{"Jmeno", "Jmeno"}, {"Trida", "Trida"}, {"Kategorie", "Kategorie"}, {"Poznamka", "Poznamka"}, {"Stav", "Stav"}}},
        {{{"KlicovaSlova.db", "Klíčová slova.bak"}}, {{"Nazev", "Nazev"}}},
        {{{"Knihy.db", "Knihy.bak"}},
         {{"Kod", "Kod"},
          {"Nazev", "Nazev"},
          {"Autor", "Autor"},
          {"Kategorie", "Kategorie"},
          {"Umisteni", "Umisteni"},
          {"CenaX", "CenaX"},
          {"Signatura", "Signatura"},
          {"Nakladatelstvi", "Nakladatel"},
          {"RokVydani", "RokVydani"},
          {"PocetStran", "PocetStran"},
          {"Ilustrator", "Ilustrator"},
          {"VekOd", "VekOd"},
          {"Anotace", "Anotace"},
          {"KlicovaSlova", "KlicSlova"},
          {"VyrazenoDatum", "VyrazenoD"},
          {"VyrazenoText", "VyrazenoT"},
          {"Vlastnosti", "Vlastnosti"}}},
        {{{"Výpůjčky.db", "Výpůjčky.bak"}}, kLoanMapping},
    };
    return items.at(static_cast<std::size_t>(choice));
}

std::string CheckSource(const dbase::TDBaseTable& source, const std::string& path, const ImportItem& item)
{
    const dbase::TDBaseFile& file = *source.TableFile();
    const std::uint8_t version = file.rDbfHdr[0];
    fs::path fpt(path);
    fpt.replace_extension(".fpt");
    std::error_code error;
    const bool foxPro = version == 0x30 || version == 0x31 || version == 0x32 || version == 0xF5 || version == 0xFB;
    if (file.HasMemoFields() && (foxPro || (source.MemoFile() == nullptr && fs::exists(fpt, error))))
        return "Soubor " + path +
               " má poznámky (memo) ve formátu FoxPro (.fpt), který program neumí číst. Import nebyl proveden.";
    if (file.HasMemoFields() && source.MemoFile() == nullptr) {
        fs::path dbt(path);
        dbt.replace_extension(".dbt");
        return "K souboru " + path + " chybí soubor s poznámkami (memo) " + dbt.string() + ". Import nebyl proveden.";
    }
    for (const auto& [target, column] : item.mapping) {
        const dbase::TMyFieldInfo* info = ColumnInfo(source, column);
        if (info == nullptr)
            return "V souboru " + path + " chybí sloupec " + column + ". Import nebyl proveden.";
        if (std::strchr("CNFDLM", info->Letter) == nullptr || info->Letter == '\0')
            return "Sloupec " + column + " v souboru " + path + " má typ " + std::string(1, info->Letter) +
                   ", který nelze číst jako text. Import nebyl proveden.";
    }
    return {};
}

std::string CheckTemplates(const fs::path& programFolder, const ImportItem& item)
{
    for (const ImportTarget& target : item.targets) {
        const fs::path templ = programFolder / "Empty" / target.table;
        std::error_code error;
        fs::path found;
        try {
            found = data::Session::ResolveTableFile(programFolder / "Empty", target.table);
        } catch (const std::exception&) {
            return "Nebyla nalezena prázdná šablona databáze " + templ.string() + "! Import nebyl proveden.";
        }
        try {
            const auto live = data::Session::Instance().Attach(LiveTable(target.table));
            if (!data::TableFileMatches(found, live->Schema()))
                return "Prázdná šablona databáze " + found.string() + " nemá strukturu databáze " + target.table +
                       "! Import nebyl proveden.";
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
    }
    return {};
}

std::string BackUp(const fs::path& programFolder, const ImportItem& item)
{
    const fs::path folder = programFolder / "Záloha";
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return folder.string() + ": " + error.message();
    for (const ImportTarget& target : item.targets) {
        fs::path live;
        try {
            live = LiveTable(target.table);
        } catch (const std::exception& e) {
            return e.what();
        }
        // Written beside the backup first, so an older backup is replaced only by a complete one.
        const fs::path backup = folder / target.backup;
        const fs::path partial = folder / (target.backup + ".part");
        fs::copy_file(live, partial, fs::copy_options::overwrite_existing, error);
        if (!error)
            fs::rename(partial, backup, error);
        if (error) {
            std::error_code ignored;
            fs::remove(partial, ignored);
            return backup.string() + ": " + error.message();
        }
    }
    return {};
}

} // namespace transfer
