// The loans overview: one filter over the loans built from a reader, a book, the returned state
// and the days lent, and the information windows of the chosen reader and book.

#include "app/Hlavni.h"

#include "catalogue/OdebratCtenare.h"
#include "catalogue/PridatKnihu.h"
#include "platform/data/Quote.h"
#include "platform/sys/CzechText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace {

const char* const kAllReaders = "-Všichni-";
const char* const kAllBooks = "-Všechny-";
const char* const kNoReader = "NIC";
const char* const kNoBook = "nic";

// A condition no loan passes: no number is both below and above zero.
std::string NoneOf(const std::string& field)
{
    return field + "<'0' AND " + field + ">'0'";
}

void AddCondition(std::string& filter, const std::string& condition)
{
    filter += filter.empty() ? condition : " AND " + condition;
}

// The names (with their numbers beside them) in Czech alphabetical order, equal names keeping
// the table's order.
void SortByName(std::vector<std::string>& names, std::vector<std::string>& numbers)
{
    // One collation key per distinct name (titles repeat across copies), then the names sorted by
    // the rank of their key.
    std::unordered_map<std::string_view, std::size_t> distinct;
    distinct.reserve(names.size());
    std::vector<std::size_t> nameKey(names.size());
    std::vector<std::string_view> distinctNames;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto [it, added] = distinct.try_emplace(names[i], distinctNames.size());
        if (added)
            distinctNames.push_back(names[i]);
        nameKey[i] = it->second;
    }
    const std::vector<std::string> keys = sys::SortKeysCzech(distinctNames);
    std::vector<std::size_t> keyOrder(keys.size());
    std::iota(keyOrder.begin(), keyOrder.end(), std::size_t{0});
    std::sort(keyOrder.begin(), keyOrder.end(), [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<std::size_t> rank(keys.size());
    for (std::size_t r = 0; r < keyOrder.size(); ++r)
        rank[keyOrder[r]] = r;
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&rank, &nameKey](std::size_t a, std::size_t b) { return rank[nameKey[a]] < rank[nameKey[b]]; });
    std::vector<std::string> sortedNames, sortedNumbers;
    sortedNames.reserve(names.size());
    sortedNumbers.reserve(numbers.size());
    for (const std::size_t i : order) {
        sortedNames.push_back(std::move(names[i]));
        sortedNumbers.push_back(std::move(numbers[i]));
    }
    names = std::move(sortedNames);
    numbers = std::move(sortedNumbers);
}

// The whole table, whatever record filter stands on it.
std::vector<std::vector<std::string>> WholeTable(data::TTable& table, const std::vector<std::string>& fields,
                                                 const std::string& filter = "")
{
    if (!table.Active())
        table.Open();
    return table.ReadTexts(fields, filter);
}

} // namespace

// A pick list with its "any" entry first, and the hidden list of numbers beside it. While the
// table holds what the lists were filled from, the lists shown are still right.
void TForm1::FillPickList(ui::TComboBox& visible, ui::TComboBox& hidden, const char* any, const char* none,
                          app::PickListFill& last, data::TTable& table, const char* nameField)
{
    if (!table.Active())
        table.Open();
    if (!last.Current(table.ContentStamp(), {&visible, &hidden})) {
        auto read = table.ReadTexts({nameField, "Cislo"}, "");
        std::vector<std::string>& names = read[0];
        std::vector<std::string>& numbers = read[1];
        SortByName(names, numbers);
        names.insert(names.begin(), any);
        numbers.insert(numbers.begin(), none);
        visible.SetItems(names);
        hidden.SetItems(numbers);
        last.Remember(table.ContentStamp(), {&visible, &hidden});
    }
    visible.SetItemIndex(0);
    hidden.SetItemIndex(0);
}

int TForm1::OverviewDays() const
{
    const std::string text = Edit8.Text();
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < CSpinEdit1.Min() || value > CSpinEdit1.Max())
        return CSpinEdit1.Position();
    return value;
}

void TForm1::CSpinEdit1Changing(ui::TObject*, bool&)
{
    if (buildingLoansFilter_)
        return;
    buildingLoansFilter_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{buildingLoansFilter_};
    // The grids over the loans follow the finished filter only.
    const data::ControlsStill loansStill(Table3);

    Table3.SetFiltered(false);
    Table3.SetFilter("");
    std::string filter;

    const bool byDays = CheckBox5.Checked();
    ComboBox8.SetEnabled(byDays);
    CSpinEdit1.SetEnabled(byDays);
    Edit8.SetEnabled(byDays);

    const int days = OverviewDays();
    if (byDays) {
        filter = (ComboBox8.ItemIndex() == 0 ? "Dnu>" : "Dnu<") + std::to_string(days);
        if (CheckBox4.Checked()) {
            filter += " AND VracenoB='False'";
            CheckBox3.SetChecked(false);
        } else if (CheckBox3.Checked()) {
            filter += " AND VracenoB='True'";
            CheckBox4.SetChecked(false);
        }
    } else if (CheckBox4.Checked()) {
        filter = "VracenoB='False'";
    } else if (CheckBox3.Checked()) {
        filter = "VracenoB='True'";
    }

    Label17.SetCaption(days == 1 ? "den" : days >= 2 && days <= 4 ? "dny" : "dní");

    // Reader: "any" adds nothing; a name typed that is nobody's matches no loan.
    ComboBox9.SetItemIndex(ComboBox6.ItemIndex());
    if (ComboBox6.ItemIndex() == 0) {
        BitBtn13.SetEnabled(false);
    } else if (ComboBox6.ItemIndex() < 0 || ComboBox9.Text().empty()) {
        AddCondition(filter, NoneOf("CisloCtenare"));
        BitBtn13.SetEnabled(false);
    } else {
        AddCondition(filter, "CisloCtenare=" + data::QuoteValue(ComboBox9.Text()));
        BitBtn13.SetEnabled(true);
    }

    // Book: the number the code or the title found; "nic" for any book, nothing for no book.
    const std::string book = ComboBox10.Text();
    if (book == kNoBook) {
        BitBtn14.SetEnabled(false);
    } else if (book.empty()) {
        AddCondition(filter, NoneOf("CisloKnihy"));
        BitBtn14.SetEnabled(false);
    } else {
        AddCondition(filter, "CisloKnihy=" + data::QuoteValue(book));
        BitBtn14.SetEnabled(true);
    }

    Table3.SetFilter(filter);
    Table3.SetFiltered(true);
}

void TForm1::CheckBox4Click(ui::TObject* Sender)
{
    if (CheckBox4.Checked())
        CheckBox3.SetChecked(false);
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

void TForm1::CheckBox3Click(ui::TObject* Sender)
{
    if (CheckBox3.Checked())
        CheckBox4.SetChecked(false);
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

void TForm1::CheckBox5Click(ui::TObject* Sender)
{
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

void TForm1::ComboBox8Change(ui::TObject* Sender)
{
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

void TForm1::ComboBox6Change(ui::TObject* Sender)
{
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

// Typing a number into the day box moves the up-down with it, so that stepping goes on from it.
void TForm1::Edit8Change(ui::TObject* Sender)
{
    const std::string shown = std::to_string(CSpinEdit1.Position());
    if (Edit8.Text() == shown)
        return; // the up-down wrote its own position; its changing handler builds the filter
    const int days = OverviewDays();
    if (days != CSpinEdit1.Position() && std::to_string(days) == Edit8.Text())
        CSpinEdit1.SetPosition(days);
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

// The book with the typed code: its title and number, or "any book" when no book has the code.
void TForm1::Edit4Change(ui::TObject* Sender)
{
    if (clearingCode_)
        return;
    LookUpOverviewCode();
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

void TForm1::LookUpOverviewCode()
{
    const auto found = WholeTable(Table2, {"Nazev", "Cislo"}, "Kod=" + data::QuoteValue(Edit4.Text()));
    if (found[0].empty()) {
        ComboBox7.SetItemIndex(0);
        ComboBox10.SetText(kNoBook);
    } else {
        ComboBox7.SetText(found[0].front());
        const int index = ComboBox7.IndexOf(found[0].front());
        if (index >= 0)
            ComboBox7.SetItemIndex(index);
        ComboBox10.SetText(found[1].front());
    }
}

// The chosen title puts its first book's code into the code box; a title that is no book's
// clears the code box and matches no loan.
void TForm1::ComboBox7Change(ui::TObject* Sender)
{
    const int index = ComboBox7.ItemIndex();
    if (index < 0) {
        clearingCode_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{clearingCode_};
        Edit4.SetText("");
    } else {
        const auto found = WholeTable(Table2, {"Kod"}, "Nazev=" + data::QuoteValue(ComboBox7.Text()));
        Edit4.SetText(found[0].empty() ? std::string() : found[0].front());
    }
    ComboBox10.SetItemIndex(index);
    bool allow = true;
    CSpinEdit1Changing(Sender, allow);
}

// The chosen reader in the reader dialog's read-only information mode.
void TForm1::BitBtn13Click(ui::TObject*)
{
    if (Form3 == nullptr || ComboBox9.Text().empty())
        return;
    Table1.SetFilter("Cislo=" + data::QuoteValue(ComboBox9.Text()));
    Table1.SetFiltered(true);
    Form3->EnterInfoMode();
    Form3->ShowModal();
}

// The chosen book in the book dialog's read-only information mode.
void TForm1::BitBtn14Click(ui::TObject*)
{
    if (Form4 == nullptr || ComboBox10.Text().empty() || ComboBox10.Text() == kNoBook)
        return;
    Table2.SetFilter("Cislo=" + data::QuoteValue(ComboBox10.Text()));
    Table2.SetFiltered(true);
    Form4->SetInfoMode();
    Form4->ShowModal();
}

void TForm1::CheckBoxKeyUp(ui::TObject* Sender, ui::Word& Key, ui::TShiftState)
{
    if (Key != ui::VK_PRIOR && Key != ui::VK_NEXT)
        return;
    for (ui::TCheckBox* box : {&CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6})
        if (Sender == box)
            box->SetChecked(!box->Checked());
}

void TForm1::RefreshOverviewPage()
{
    Table1.SetFiltered(false);
    Table2.SetFiltered(false);

    {
        // The readers' grid follows the reopened list once.
        const data::ControlsStill readersStill(Query2);
        ListAllReadersByName();
    }

    // Every reader, active or not, and every book, read from the whole tables.
    FillPickList(ComboBox6, ComboBox9, kAllReaders, kNoReader, overviewReaders_, Table1, "Jmeno");
    LastReaderIndex = 0;

    // The books list keeps its own text: the look-ups below read the books table itself, so the
    // list is not re-sorted by title for them.
    FillPickList(ComboBox7, ComboBox10, kAllBooks, kNoBook, overviewBooks_, Table2, "Nazev");

    TabbedNotebook1.Show();
    ComboBox6.SetFocus();

    // The code left in the code box picks its book again; then the filter is built once from the
    // page as it stands.
    LookUpOverviewCode();
    bool allow = false;
    CSpinEdit1Changing(nullptr, allow);
}
