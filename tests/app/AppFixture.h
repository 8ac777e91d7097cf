#pragma once
// A librarian's session with the program for tests: a temporary program folder with empty table
// files as the working folder, a private settings store, a fixed "today", scripted dialogs, and
// the program's windows created and the main window shown over data the test put in first.

#include "platform/data/Table.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QString>

class QWidget;

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace apptest {

// 15.9.2024, the day every test runs on.
data::TDateTime Today();
// A day relative to Today().
std::string DayText(int offsetFromToday);

struct BookRow {
    std::int64_t Cislo = 0;
    std::string Pujceno, Vlastnosti, Nazev;
};
struct LoanRow {
    std::int64_t Cislo = 0, CisloCtenare = 0, CisloKnihy = 0, Dnu = 0;
    std::string Pujceno, Vraceno, VracenoB;
    bool DnuNull = true;
};

// Field names with the texts to set them to.
using FieldTexts = std::vector<std::pair<std::string, std::string>>;

// Appends one record to a table file of the working folder, its fields set from texts; gives back
// the record's number (0 for a table without one).
std::int64_t AppendRow(const std::string& file, const FieldTexts& values);

// Types text key by key into a widget, Czech letters included (each a key of its own, as a keyboard
// with a Czech layout sends them).
void TypeKeys(QWidget* widget, const QString& text);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // ---- Data, written straight to the table files before the program starts. ----
    std::int64_t AddReader(const std::string& name, bool active = true, const std::string& schoolClass = "5.A",
                           const std::string& note = "", const std::string& category = "Žák");
    std::int64_t AddBook(const std::string& code, const std::string& title, bool lent = false,
                         const std::string& discarded = "");
    std::int64_t AddLoan(std::int64_t reader, std::int64_t book, const std::string& lent,
                         const std::string& returned = "", int days = 0);
    // Appends a name to a table of names: a code list (reader categories "Číselníky.db", school
    // classes "Číselníky02.db", book types "Číselníky03.db", locations "Číselníky04.db") or the
    // keywords ("KlicovaSlova.DB").
    void AddName(const std::string& file, const std::string& name);

    // Creates the windows as the program does and shows the main window.
    void StartProgram();
    // Creates the windows only (the main window stays hidden).
    void CreateProgramWindows();

    // ---- What is on disk (read through datasets of their own). ----
    int CountRecords(const std::string& file, const std::string& filter = "");
    std::optional<BookRow> Book(const std::string& code);
    std::optional<BookRow> BookByNumber(std::int64_t number);
    std::vector<LoanRow> Loans();

    // ---- Acting as the librarian. ----
    void ClickTab(int page);
    void ChooseReader(const std::string& name);
    void TypeCode(const std::string& code);
    void PressLend();
    void DoubleClickLoan(int row);
    // Changes the current date through its dialog; true when the dialog closed with OK.
    bool ChangeDate(const std::string& text);
    // Runs a handler the way a click does: an escaping exception goes to the error display.
    void AsUser(const std::function<void()>& action);

    std::filesystem::path folder_;
    std::unique_ptr<ui::ScriptedDialogs> dialogs_;

private:
    std::filesystem::path previous_;
    std::unique_ptr<sys::FixedClock> clock_;
    std::unique_ptr<sys::ScopedClock> clockScope_;
    std::string registryBefore_;
    bool hadRegistry_ = false;
};

} // namespace apptest
