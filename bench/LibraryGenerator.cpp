#include "LibraryGenerator.h"

#include "BookTitles.h"

#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <array>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace bench {
namespace {

constexpr std::array kSurnames{"Novák", "Svoboda", "Novotný", "Dvořák", "Černý", "Procházka", "Kučera", "Veselý",
                               "Horák", "Němec", "Marek", "Pokorný", "Pospíšil", "Hájek", "Jelínek", "Král",
                               "Růžička", "Beneš", "Fiala", "Sedláček", "Doležal", "Zeman", "Kolář", "Navrátil",
                               "Čermák", "Vaněk", "Urban", "Blažek", "Kříž", "Šťastný", "Říha", "Žák"};
constexpr std::array kFirstNames{"Jan", "Jakub", "Tomáš", "Matyáš", "Adam", "Filip", "Vojtěch", "Ondřej", "Lukáš",
                                 "Šimon", "Eliška", "Anna", "Adéla", "Tereza", "Sofie", "Natálie", "Ema", "Karolína",
                                 "Kristýna", "Barbora", "Klára", "Veronika", "Žofie", "Čeněk", "Řehoř", "Dominik"};
constexpr std::array kCategories{"Beletrie", "Poezie", "Pohádky", "Naučná", "Dobrodružná", "Detektivka", "Komiks"};
constexpr std::array kLocations{"Regál A", "Regál B", "Regál C", "Čítárna", "Sklad", "Kabinet češtiny"};

template <typename Array>
const char* Pick(std::mt19937& random, const Array& words)
{
    return words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(random)];
}

std::string PersonName(std::mt19937& random)
{
    return std::string(Pick(random, kSurnames)) + " " + Pick(random, kFirstNames);
}

std::string BookCode(int number)
{
    char code[16];
    std::snprintf(code, sizeof code, "K%06d", number);
    return code;
}

// Appends `count` records in transactions of a fixed size.
void Fill(data::TTable& table, int count, const std::function<void(int)>& setFields,
          const std::function<void(const std::string&)>& log)
{
    constexpr int kBatch = 20000;
    table.DisableControls();
    for (int start = 0; start < count; start += kBatch) {
        data::TTransaction transaction;
        const int end = std::min(count, start + kBatch);
        for (int i = start; i < end; ++i) {
            table.Append();
            setFields(i);
            table.Post();
        }
        transaction.Commit();
    }
    table.EnableControls();
    log(table.TableName + ": " + std::to_string(table.RecordCount()) + " records");
}

// Opens a table of the working folder and answers its fields of the given names, in order.
template <std::size_t N>
std::array<data::TField*, N> OpenFields(data::TTable& table, const char* file, const char* const (&names)[N])
{
    table.TableName = file;
    table.Open();
    std::array<data::TField*, N> fields{};
    for (std::size_t i = 0; i < N; ++i)
        fields[i] = &table.FieldByName(names[i]);
    return fields;
}

} // namespace

bool SetSizeOption(LibrarySize& size, const std::string& option, int value)
{
    if (option == "--books") size.books = value;
    else if (option == "--readers") size.readers = value;
    else if (option == "--loans") size.loans = value;
    else if (option == "--open") size.openLoans = value;
    else if (option == "--archived") size.archived = value;
    else return false;
    return true;
}

void WriteEmptyTables(const std::filesystem::path& schemaFolder, const std::filesystem::path& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(schemaFolder))
        if (entry.path().extension() == ".schema") {
            const auto schema = data::ReadSchemaFile(entry.path());
            data::WriteTableFile(folder / schema.fileName, schema);
        }
}

void GenerateLibrary(const std::filesystem::path& folder, const LibrarySize& size, double today,
                     const std::function<void(const std::string&)>& log)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    std::mt19937 random(20240901);
    struct Book {
        std::string code, title;
    };
    std::vector<Book> books(static_cast<std::size_t>(size.books));
    std::vector<std::string> readers(static_cast<std::size_t>(size.readers));
    {
        data::TTable table;
        const auto [name, schoolClass, category, active, state] =
            OpenFields(table, "Čtenáři.db", {"Jmeno", "Trida", "Kategorie", "Aktivni", "Stav"});
        Fill(table, size.readers, [&](int i) {
            readers[static_cast<std::size_t>(i)] = PersonName(random);
            name->SetAsString(readers[static_cast<std::size_t>(i)]);
            schoolClass->SetAsString(std::to_string(1 + i % 9) + "." + static_cast<char>('A' + i % 3));
            category->SetAsString(i % 20 == 0 ? "Učitel" : "Žák");
            const bool isActive = i % 10 != 0;
            active->SetAsBoolean(isActive);
            state->SetAsString(isActive ? "Aktivní" : "Neaktivní");
        }, log);
    }
    // The open loans lend the first books of a shuffled order, so they are spread out.
    std::vector<int> order(static_cast<std::size_t>(size.books));
    for (int i = 0; i < size.books; ++i)
        order[static_cast<std::size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), random);
    std::vector<bool> lent(static_cast<std::size_t>(size.books), false);
    const int openLoans = std::min(size.openLoans, std::min(size.loans, size.books));
    for (int i = 0; i < openLoans; ++i)
        lent[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = true;
    {
        data::TTable table;
        const auto [code, title, author, category, location, isLent, price, year, pages, state] =
            OpenFields(table, "Knihy.DB", {"Kod", "Nazev", "Autor", "Kategorie", "Umisteni", "Pujceno", "CenaX",
                                           "RokVydani", "PocetStran", "Vlastnosti"});
        Fill(table, size.books, [&](int i) {
            Book& b = books[static_cast<std::size_t>(i)];
            b.code = BookCode(i + 1);
            b.title = BookTitle(random);
            code->SetAsString(b.code);
            title->SetAsString(b.title);
            author->SetAsString(PersonName(random));
            category->SetAsString(Pick(random, kCategories));
            location->SetAsString(Pick(random, kLocations));
            isLent->SetAsBoolean(lent[static_cast<std::size_t>(i)]);
            price->SetAsCurrency(data::TCurrency{std::uniform_int_distribution<std::int64_t>(50, 600)(random) * 10000});
            year->SetAsInteger(std::uniform_int_distribution<int>(1950, 2024)(random));
            pages->SetAsInteger(std::uniform_int_distribution<int>(30, 600)(random));
            state->SetAsString(lent[static_cast<std::size_t>(i)] ? "Půjčená" : "");
        }, log);
    }
    {
        data::TTable table;
        const auto [reader, book, lentOn, returnedOn, days, returned] =
            OpenFields(table, "Výpůjčky.db",
                       {"CisloCtenare", "CisloKnihy", "Pujceno", "Vraceno", "Dnu", "VracenoB"});
        const int returnedLoans = size.loans - openLoans;
        Fill(table, size.loans, [&](int i) {
            const bool open = i >= returnedLoans; // the newest loans are the open ones
            // Returned loans may be of any book; open ones of the books marked lent.
            const int bookIndex = size.books == 0 ? -1
                                  : open          ? order[static_cast<std::size_t>(i - returnedLoans)]
                                                  : order[static_cast<std::size_t>(i % size.books)];
            reader->SetAsInteger(std::uniform_int_distribution<int>(1, std::max(1, size.readers))(random));
            book->SetAsInteger(bookIndex + 1);
            const double lentDay = today - (open ? std::uniform_int_distribution<int>(0, 90)(random)
                                                 : 30 + (size.loans - i) % 900);
            lentOn->SetAsDateTime(data::TDateTime{lentDay});
            if (open) {
                returned->SetAsBoolean(false);
                days->SetAsInteger(static_cast<std::int64_t>(today - lentDay));
            } else {
                const int kept = std::uniform_int_distribution<int>(1, 29)(random);
                returnedOn->SetAsDateTime(data::TDateTime{lentDay + kept});
                returned->SetAsBoolean(true);
                days->SetAsInteger(kept);
            }
        }, log);
    }
    {
        data::TTable table;
        const auto [readerNo, readerName, bookNo, bookCode, bookTitle, lentOn, returnedOn, days] =
            OpenFields(table, "VýpůjčkyArchiv.db", {"CisloCtenare", "Ctenar", "CisloKnihy", "KodKnihy", "Kniha",
                                                    "Pujceno", "Vraceno", "Dnu"});
        Fill(table, size.archived, [&](int i) {
            const int r = std::uniform_int_distribution<int>(0, std::max(0, size.readers - 1))(random);
            const int b = std::uniform_int_distribution<int>(0, std::max(0, size.books - 1))(random);
            readerNo->SetAsInteger(r + 1);
            if (!readers.empty())
                readerName->SetAsString(readers[static_cast<std::size_t>(r)]);
            bookNo->SetAsInteger(b + 1);
            if (!books.empty()) {
                bookCode->SetAsString(books[static_cast<std::size_t>(b)].code);
                bookTitle->SetAsString(books[static_cast<std::size_t>(b)].title);
            }
            const double lentDay = today - 1000 - (size.archived - i) % 3000;
            const int kept = 1 + i % 40;
            lentOn->SetAsDateTime(data::TDateTime{lentDay});
            returnedOn->SetAsDateTime(data::TDateTime{lentDay + kept});
            days->SetAsInteger(kept);
        }, log);
    }
    const std::pair<const char*, std::vector<std::string>> lists[] = {
        {"Číselníky.db", {"Žák", "Učitel", "Host"}},
        {"Číselníky02.db", {"1.A", "2.A", "3.B", "4.C", "5.A", "6.B", "7.C", "8.A", "9.B"}},
        {"Číselníky03.db", {kCategories.begin(), kCategories.end()}},
        {"Číselníky04.db", {kLocations.begin(), kLocations.end()}},
        {"KlicovaSlova.DB", {"zvířata", "přátelství", "dobrodružství", "historie", "příroda", "škola"}},
    };
    for (const auto& [file, values] : lists) {
        data::TTable table;
        table.TableName = file;
        table.Open();
        Fill(table, static_cast<int>(values.size()), [&](int i) {
            table.FieldByName("Nazev").SetAsString(values[static_cast<std::size_t>(i)]);
        }, log);
    }
    std::filesystem::current_path(previous);
}

double PeakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace bench
