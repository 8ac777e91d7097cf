#include "maintenance/ArchiveStore.h"

#include "platform/data/Session.h"
#include "platform/data/Sqlite.h"
#include "platform/data/ValueText.h"
#include "platform/sys/CzechText.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <unordered_set>

namespace maintenance {

namespace {

std::shared_ptr<data::TableFile> Attached(const char* name)
{
    data::Session& session = data::Session::Instance();
    return session.Attach(data::Session::ResolveTableFile(std::filesystem::current_path(), name));
}

// The loans of a batch: returned, within the batch's record numbers and, with a day given,
// returned on that day or earlier (a return time on that day still counts as that day).
std::string BatchCondition(const std::string& loans)
{
    return loans + ".rowid BETWEEN ?1 AND ?2 AND " + loans + ".VracenoB = 1 AND (?3 IS NULL OR substr(" + loans +
           ".Vraceno, 1, 10) <= ?3)";
}

void BindBatch(data::sqlite::Statement& statement, std::int64_t first, std::int64_t last,
               const std::optional<data::TDateTime>& upTo)
{
    statement.BindInt64(1, first);
    statement.BindInt64(2, last);
    if (upTo)
        statement.BindText(3, data::FormatIsoDateTime(data::TDateTime{std::trunc(upTo->days)}));
    else
        statement.BindNull(3);
}

} // namespace

std::vector<std::int64_t> ReturnedLoans()
{
    const auto loans = Attached("Výpůjčky.db");
    data::sqlite::Statement select(loans->Db(),
                                   "SELECT rowid FROM " + loans->Qualified() + " WHERE VracenoB = 1 ORDER BY rowid");
    std::vector<std::int64_t> rowids;
    while (select.Step())
        rowids.push_back(select.ColumnInt64(0));
    return rowids;
}

int ArchiveLoans(const std::vector<std::int64_t>& loans, std::size_t from, std::size_t count,
                 std::optional<data::TDateTime> upTo, std::chrono::steady_clock::duration* work)
{
    const auto start = std::chrono::steady_clock::now();
    if (from >= loans.size() || count == 0)
        return 0;
    const std::size_t end = std::min(loans.size(), from + count);
    // Attached before the transaction begins: a file cannot be attached inside one.
    const auto loanFile = Attached("Výpůjčky.db");
    const auto readers = Attached("Čtenáři.db");
    const auto books = Attached("Knihy.DB");
    const auto archive = Attached("VýpůjčkyArchiv.db");
    sqlite3* db = loanFile->Db();

    int archived = 0;
    {
        data::TTransaction transaction;
        // The archive record first, the loan's removal second, both kept or dropped together.
        data::sqlite::Statement copy(
            db, "INSERT INTO " + archive->Qualified() +
                    " (CisloCtenare, Ctenar, CisloKnihy, KodKnihy, Kniha, Pujceno, Vraceno, Dnu)"
                    " SELECT l.CisloCtenare, coalesce(r.Jmeno, ''), l.CisloKnihy, coalesce(b.Kod, ''),"
                    " coalesce(b.Nazev, ''), substr(l.Pujceno, 1, 10), substr(l.Vraceno, 1, 10), l.Dnu"
                    " FROM " + loanFile->Qualified() + " AS l"
                    " LEFT JOIN " + readers->Qualified() + " AS r ON r.Cislo = l.CisloCtenare"
                    " LEFT JOIN " + books->Qualified() + " AS b ON b.Cislo = l.CisloKnihy"
                    " WHERE " + BatchCondition("l") + " ORDER BY l.rowid");
        BindBatch(copy, loans[from], loans[end - 1], upTo);
        copy.Step();
        const int copied = sqlite3_changes(db);
        data::sqlite::Statement remove(db, "DELETE FROM " + loanFile->Qualified() + " WHERE " +
                                               BatchCondition(loanFile->Qualified()));
        BindBatch(remove, loans[from], loans[end - 1], upTo);
        remove.Step();
        archived = sqlite3_changes(db);
        if (archived != copied)
            throw data::EDatabaseError("Archivace výpůjček: počet archivovaných a odebraných výpůjček nesouhlasí.");
        if (work != nullptr)
            *work = std::chrono::steady_clock::now() - start;
        transaction.Commit();
    }
    loanFile->Invalidate();
    archive->Invalidate();
    return archived;
}

std::vector<std::string> ArchiveTexts(const std::string& column)
{
    const auto archive = Attached("VýpůjčkyArchiv.db");
    const std::string name = data::sqlite::QuoteIdent(column);
    data::sqlite::Statement select(archive->Db(),
                                   "SELECT " + name + " FROM " + archive->Qualified() + " GROUP BY " + name);
    std::vector<std::string> texts;
    while (select.Step())
        texts.push_back(select.ColumnText(0));
    std::stable_sort(texts.begin(), texts.end(),
                     [](const std::string& a, const std::string& b) { return sys::CompareCzech(a, b) < 0; });
    std::unordered_set<std::string> seen;
    std::vector<std::string> unique;
    unique.reserve(texts.size());
    for (std::string& text : texts)
        if (seen.insert(sys::LowerCzech(text)).second)
            unique.push_back(std::move(text));
    return unique;
}

} // namespace maintenance
