#include "maintenance/HledaniVArchivu.h"

#include "app/Hlavni.h"
#include "maintenance/ArchiveStore.h"
#include "platform/data/Quote.h"
#include "platform/sys/ShortDate.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"

#include <charconv>
#include <climits>
#include <optional>

TForm7* Form7 = nullptr;

namespace {

const char* const kTitle = "Vyhledávání v archivu";
const char* const kAllReaders = "-Všichni-";
const char* const kAllBooks = "-Všechny-";

std::optional<long long> ReadInteger(const std::string& text)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// The count sentence written under the archive grid.
std::string CountSentence(int n)
{
    if (n == 0)
        return "Při vyhledávání v archivu nebyl nalezen žádný záznam.";
    if (n == 1)
        return "Při vyhledávání v archivu byl nalezen 1 záznam.";
    const std::string head = "Při vyhledávání v archivu bylo nalezeno " + std::to_string(n);
    return n <= 4 ? head + " záznamy" : head + " záznamů";
}

// Conditions joined into query lines: the first begins "WHERE ", each later one " AND ".
class Conditions {
public:
    void Add(const std::string& condition)
    {
        lines_.push_back((lines_.empty() ? "WHERE " : " AND ") + condition);
    }
    // Field = value, or <> with the row's "Inverzně" ticked.
    void Equal(const std::string& field, const std::string& value, bool inverse)
    {
        Add(field + (inverse ? "<>" : "=") + data::QuoteValue(value));
    }
    // A range with strict bounds, either of them left out when empty. Inverse: the values outside
    // it (below "from" or above "to").
    void Range(const std::string& field, const std::string& from, const std::string& to, bool inverse)
    {
        const std::string below = from.empty() ? "" : field + (inverse ? "<" : ">") + data::QuoteValue(from);
        const std::string above = to.empty() ? "" : field + (inverse ? ">" : "<") + data::QuoteValue(to);
        if (inverse && !below.empty() && !above.empty()) {
            Add("(" + below + " OR " + above + ")");
            return;
        }
        if (!below.empty())
            Add(below);
        if (!above.empty())
            Add(above);
    }
    std::vector<std::string>& Lines() { return lines_; }

private:
    std::vector<std::string> lines_;
};

void ShowWarning(const std::string& text, const std::string& caption)
{
    ui::MessageBox(nullptr, text, caption, ui::MB_OK | ui::MB_ICONWARNING);
}

} // namespace

TForm7::TForm7()
    : ui::TForm("Form7")
{
    SetCaption(kTitle);
    SetBorderStyle(ui::TFormBorderStyle::bsDialog);
    SetClientSize(582, 205);
    Position = ui::TPosition::poDesktopCenter;

    const auto place = [](ui::TControl& control, const char* name, int x, int y, int w, int h) {
        control.Name = name;
        control.SetBounds(x, y, w, h);
    };
    place(Label1, "Label1", 12, 16, 74, 16);
    place(ComboBox1, "ComboBox1", 90, 12, 380, 24);
    place(CheckBox1, "CheckBox1", 484, 14, 90, 20);
    place(Label2, "Label2", 12, 48, 74, 16);
    place(Edit1, "Edit1", 90, 44, 100, 24);
    place(Label3, "Label3", 202, 48, 80, 16);
    place(ComboBox2, "ComboBox2", 284, 44, 186, 24);
    place(CheckBox2, "CheckBox2", 484, 46, 90, 20);
    place(Label4, "Label4", 12, 80, 74, 16);
    place(Label5, "Label5", 90, 80, 20, 16);
    place(Edit2, "Edit2", 112, 76, 100, 24);
    place(Label6, "Label6", 226, 80, 20, 16);
    place(Edit3, "Edit3", 248, 76, 100, 24);
    place(CheckBox3, "CheckBox3", 484, 78, 90, 20);
    place(Label7, "Label7", 12, 112, 74, 16);
    place(Label8, "Label8", 90, 112, 20, 16);
    place(Edit4, "Edit4", 112, 108, 100, 24);
    place(Label9, "Label9", 226, 112, 20, 16);
    place(Edit5, "Edit5", 248, 108, 100, 24);
    place(CheckBox4, "CheckBox4", 484, 110, 90, 20);
    place(Label10, "Label10", 12, 144, 74, 16);
    place(Label11, "Label11", 90, 144, 20, 16);
    place(Edit6, "Edit6", 112, 140, 82, 24);
    place(UpDown1, "UpDown1", 194, 140, 18, 24);
    place(Label12, "Label12", 226, 144, 20, 16);
    place(Edit7, "Edit7", 248, 140, 82, 24);
    place(UpDown2, "UpDown2", 330, 140, 18, 24);
    place(CheckBox5, "CheckBox5", 484, 142, 90, 20);
    place(BitBtn1, "BitBtn1", 386, 172, 90, 28);
    place(BitBtn2, "BitBtn2", 484, 172, 90, 28);

    for (auto [edit, upDown] : {std::pair{&Edit6, &UpDown1}, std::pair{&Edit7, &UpDown2}}) {
        edit->SetText("0");
        upDown->SetMin(0);
        upDown->SetMax(5000);
        upDown->Wrap = false;
        upDown->SetAssociate(edit);
    }
    for (ui::TCheckBox* box : {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5}) {
        box->SetTabStop(false);
        // Up and Down stay with the box, whose key-up turns it, instead of moving the focus.
        box->OnKeyDown = [](ui::TObject*, ui::Word& key, ui::TShiftState) {
            if (key == ui::VK_UP || key == ui::VK_DOWN)
                key = 0;
        };
    }
    SetTabOrder({&ComboBox1, &Edit1, &ComboBox2, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &UpDown1, &UpDown2,
                 &BitBtn1, &BitBtn2});
    // Enter moves along the fields (the key itself goes on); a combo box drops its text selection
    // when left, as every focus-coloured combo box does.
    enterChain_.Set({&ComboBox1, &Edit1, &ComboBox2, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7}, &BitBtn1);
    ui::EnableFocusColors({&ComboBox1, &ComboBox2, &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7});

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    Edit6.OnChange = [this](ui::TObject* s) { Edit6Change(s); };
    Edit7.OnChange = [this](ui::TObject* s) { Edit7Change(s); };
    ComboBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { ComboBox1KeyUp(s, k, sh); };
    CheckBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox1KeyUp(s, k, sh); };
    CheckBox2.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox2KeyUp(s, k, sh); };
    CheckBox3.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox3KeyUp(s, k, sh); };
    CheckBox4.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox4KeyUp(s, k, sh); };
    CheckBox5.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBox5KeyUp(s, k, sh); };
}

TForm7::~TForm7()
{
    if (Form7 == this)
        Form7 = nullptr;
}

void TForm7::FormShow(ui::TObject*)
{
    // The pick lists come from the whole archive through a statement of their own: the archive
    // page's query keeps its search until OK replaces it.
    for (auto [box, all, column] : {std::tuple{&ComboBox1, kAllReaders, "Ctenar"},
                                    std::tuple{&ComboBox2, kAllBooks, "Kniha"}}) {
        std::vector<std::string> items{all};
        for (std::string& text : maintenance::ArchiveTexts(column))
            items.push_back(std::move(text));
        box->SetItems(items);
        box->SetItemIndex(0);
    }
}

std::vector<std::string> TForm7::BuildQuery()
{
    // Dates in one canonical form, so differently written forms of one date compare alike.
    for (ui::TEdit* edit : {&Edit2, &Edit3, &Edit4, &Edit5}) {
        if (edit->Text().empty())
            continue;
        try {
            edit->SetText(sys::FormatShortDate(sys::StrToDate(edit->Text())));
        } catch (const std::exception&) {
            ShowWarning("Zadané datum je ve špatném formátu!", "Špatně zadané datum");
            edit->SetFocus();
            return {};
        }
    }
    // A range whose start lies after its end is refused.
    const auto laterThan = [](const ui::TEdit& from, const ui::TEdit& to) {
        return !from.Text().empty() && !to.Text().empty() &&
               sys::StrToDate(from.Text()).days > sys::StrToDate(to.Text()).days;
    };
    const auto days = [](const ui::TEdit& edit) {
        // A day box counts unless it is empty or "0".
        return edit.Text() == "0" ? std::string() : edit.Text();
    };
    struct Refusal {
        bool refused;
        ui::TEdit* edit;
        const char* text;
    };
    const std::optional<long long> daysFrom = ReadInteger(days(Edit6)), daysTo = ReadInteger(days(Edit7));
    for (const Refusal& r :
         {Refusal{laterThan(Edit2, Edit3), &Edit2, "Datum půjčení od je pozdější než datum půjčení do!"},
          Refusal{laterThan(Edit4, Edit5), &Edit4, "Datum vrácení od je pozdější než datum vrácení do!"},
          Refusal{daysFrom && daysTo && *daysFrom > *daysTo, &Edit6, "Počet dnů od je větší než počet dnů do!"}}) {
        if (r.refused) {
            ShowWarning(r.text, "Špatně zadaný rozsah");
            r.edit->SetFocus();
            return {};
        }
    }

    Conditions where;
    if (ComboBox1.Text() != kAllReaders)
        where.Equal("Ctenar", ComboBox1.Text(), CheckBox1.Checked());
    if (ComboBox2.Text() != kAllBooks)
        where.Equal("Kniha", ComboBox2.Text(), CheckBox2.Checked());
    if (!Edit1.Text().empty())
        where.Equal("KodKnihy", Edit1.Text(), CheckBox2.Checked());
    where.Range("Pujceno", Edit2.Text(), Edit3.Text(), CheckBox3.Checked());
    where.Range("Vraceno", Edit4.Text(), Edit5.Text(), CheckBox4.Checked());
    where.Range("Dnu", days(Edit6), days(Edit7), CheckBox5.Checked());

    std::vector<std::string> lines{"SELECT * FROM VýpůjčkyArchiv"};
    for (std::string& line : where.Lines())
        lines.push_back(std::move(line));
    static const char* const kOrder[] = {"Ctenar", "KodKnihy", "Kniha", "Pujceno", "Vraceno", "Dnu"};
    const int sort = Form1 != nullptr ? Form1->RadioGroup1.ItemIndex() : -1;
    if (sort >= 0 && sort < 6)
        lines.push_back(std::string("ORDER BY ") + kOrder[sort] +
                        (Form1->CheckBox6.Checked() ? " DESC" : ""));
    return lines;
}

void TForm7::BitBtn1Click(ui::TObject*)
{
    const std::vector<std::string> lines = BuildQuery();
    if (lines.empty() || Form1 == nullptr)
        return;
    data::TQuery& query = Form1->Query3;
    const std::vector<std::string> previous = query.SQL.Lines();
    query.Close();
    query.SQL.Clear();
    for (const std::string& line : lines)
        query.SQL.Add(line);
    try {
        query.Open();
    } catch (...) {
        // The archive page keeps showing what it showed; the error goes on to be shown.
        query.Close();
        query.SQL.Clear();
        for (const std::string& line : previous)
            query.SQL.Add(line);
        try {
            query.Open();
        } catch (const std::exception&) {
        }
        throw;
    }
    Form1->Label20.SetCaption(CountSentence(query.RecordCount()));
    Form1->Label20.Show();
    SetModalResult(ui::mrOk);
}

void TForm7::BitBtn2Click(ui::TObject*)
{
    SetModalResult(ui::mrCancel);
}

void TForm7::DayChange(ui::TEdit& edit, ui::TUpDown& upDown)
{
    const std::string text = edit.Text();
    if (text.empty())
        return;
    if (const std::optional<long long> value = ReadInteger(text); value && *value >= INT_MIN && *value <= INT_MAX)
        upDown.SetPosition(static_cast<int>(*value));
    else
        edit.SetText(std::to_string(upDown.Position()));
}

void TForm7::Edit6Change(ui::TObject*)
{
    DayChange(Edit6, UpDown1);
}

void TForm7::Edit7Change(ui::TObject*)
{
    DayChange(Edit7, UpDown2);
}

void TForm7::ComboBox1KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    if (Key == ui::VK_RETURN)
        CheckBox1.SetFocus();
}

void TForm7::InverseKeyUp(ui::TCheckBox& box, ui::TControl& next, ui::Word key)
{
    if (key == ui::VK_UP || key == ui::VK_DOWN || key == ui::VK_PRIOR || key == ui::VK_NEXT)
        box.SetChecked(!box.Checked());
    else if (key == ui::VK_RETURN)
        next.SetFocus();
}

void TForm7::CheckBox1KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    InverseKeyUp(CheckBox1, Edit1, Key);
}

void TForm7::CheckBox2KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    InverseKeyUp(CheckBox2, Edit2, Key);
}

void TForm7::CheckBox3KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    InverseKeyUp(CheckBox3, Edit4, Key);
}

void TForm7::CheckBox4KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    InverseKeyUp(CheckBox4, Edit6, Key);
}

void TForm7::CheckBox5KeyUp(ui::TObject*, ui::Word& Key, ui::TShiftState)
{
    InverseKeyUp(CheckBox5, BitBtn1, Key);
}
