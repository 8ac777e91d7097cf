// The extended book filter's form: filling the pick lists, clearing, the integer-only range edits,
// the remembered pick-list text, and applying the criteria to the main window's books query.

#include "catalogue/FiltrKnih.h"

#include "app/Hlavni.h"
#include "platform/sys/DistinctTexts.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"
#include "platform/ui/IntegerField.h"

TForm10* Form10 = nullptr;

namespace {

// The main window's Tag when the extended filter built the books query.
constexpr int kBuiltByExtendedFilter = 1;

} // namespace

TForm10::TForm10()
    : ui::TForm("Form10")
{
    SetCaption("Filtr databáze knih");
    SetUpLayout();

    OnShow = [this](ui::TObject* s) { FormShow(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn10.OnClick = [this](ui::TObject* s) { BitBtn10Click(s); };
    Button1.OnClick = [this](ui::TObject* s) { Button1Click(s); };
    ComboBox9.OnClick = [this](ui::TObject* s) { ComboBox9Click(s); };
    BitBtn8.OnClick = [this](ui::TObject* s) { BitBtn8Click(s); };
    BitBtn9.OnClick = [this](ui::TObject* s) { BitBtn9Click(s); };
    BitBtn7.OnClick = [this](ui::TObject* s) { BitBtn7Click(s); };
    for (ui::TComboBox* pick : PickLists()) {
        pick->OnEnter = [this](ui::TObject* s) { PickListEnter(s); };
        pick->OnChange = [this](ui::TObject* s) { PickListChange(s); };
        pick->OnExit = [this](ui::TObject* s) { PickListExit(s); };
    }
    for (std::size_t e = 1; e < Edits().size(); ++e) {
        Edits()[e]->OnKeyDown = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { RangeKeyDown(s, k, sh); };
        Edits()[e]->OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { RangeKeyUp(s, k, sh); };
    }
    ui::EnableFocusColors({&ComboBox9, &ComboBox8, &ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5,
                           &ComboBox6, &ComboBox7, &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8,
                           &Edit9});
    enterChain_.Set({&ComboBox9, &ComboBox8, &ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5, &ComboBox6,
                     &ComboBox7, &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8, &Edit9},
                    &RadioGroup1);
    FileListBox1.SetMask("*.flt");
    DirectoryListBox1.SetFileList(&FileListBox1);
}

std::array<ui::TComboBox*, 8> TForm10::PickLists()
{
    return {&ComboBox8, &ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5, &ComboBox6, &ComboBox7};
}

std::array<ui::TEdit*, 9> TForm10::Edits()
{
    return {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8, &Edit9};
}

std::array<ui::TCheckBox*, 8> TForm10::ExactFlags()
{
    return {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6, &CheckBox7, &CheckBox8};
}

catalogue::BookFilter TForm10::Criteria() const
{
    auto* self = const_cast<TForm10*>(this);
    catalogue::BookFilter filter;
    const auto picks = self->PickLists();
    for (std::size_t i = 0; i < picks.size(); ++i)
        filter.Texts[i] = picks[i]->Text();
    const auto edits = self->Edits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        filter.Texts[8 + i] = edits[i]->Text();
    const auto flags = self->ExactFlags();
    for (std::size_t i = 0; i < flags.size(); ++i)
        filter.Exact[i] = flags[i]->Checked();
    filter.AllConditions = RadioGroup1.ItemIndex() == 0;
    return filter;
}

void TForm10::SetCriteria(const catalogue::BookFilter& filter)
{
    const auto picks = PickLists();
    for (std::size_t i = 0; i < picks.size(); ++i)
        picks[i]->SetText(filter.Texts[i]);
    const auto edits = Edits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->SetText(filter.Texts[8 + i]);
    const auto flags = ExactFlags();
    for (std::size_t i = 0; i < flags.size(); ++i)
        flags[i]->SetChecked(filter.Exact[i]);
    RadioGroup1.SetItemIndex(filter.AllConditions ? 0 : 1);
}

void TForm10::ClearCriteria()
{
    SetCriteria(catalogue::BookFilter{});
}

void TForm10::FillPickLists()
{
    // Each list's texts as the listed books hold them, read in one pass over the query, each list
    // then filled in one go.
    const auto picks = PickLists();
    std::vector<std::vector<std::string>> texts;
    data::TQuery& books = Form1->Query1;
    try {
        if (books.Active()) {
            texts = books.ListedDistinctTexts({catalogue::kPickFields.begin(), catalogue::kPickFields.end()});
            books.Last(); // where a walk through the books leaves the list, as it always has
        }
    } catch (...) {
        for (ui::TComboBox* pick : picks) // nothing left over from an earlier showing
            pick->ClearItems();
        throw;
    }
    for (std::size_t i = 0; i < picks.size(); ++i)
        // Offered once, as written where it first appears, whatever the letter case.
        picks[i]->SetItems(i < texts.size() ? sys::FirstOfEachIgnoringCase(std::move(texts[i]))
                                            : std::vector<std::string>());
}

void TForm10::FormShow(ui::TObject*)
{
    // Whatever fails here, the main window gets its tab set back.
    struct ShowTabs {
        ~ShowTabs() { Form1->TabbedNotebook1.Show(); }
    } showTabs;
    FillPickLists();
    try {
        ListSavedFilters(ComboBox9);
    } catch (const std::exception&) {
        // A folder that cannot be listed leaves only the first item.
        if (ComboBox9.Count() == 0)
            ComboBox9.AddItem(kNoSavedFilter);
        ComboBox9.SetItemIndex(0);
    }
    ClearCriteria();
    SavedComboText.clear();
    ComboBox8.SetFocus();
}

void TForm10::BitBtn2Click(ui::TObject*)
{
    data::TQuery& books = Form1->Query1;
    books.Close();
    WorkText.clear();
    if (books.SQL.Count() > 0 && app::SortButtons::IsOrderByLine(books.SQL[books.SQL.Count() - 1]))
        WorkText = books.SQL[books.SQL.Count() - 1];
    else
        WorkText = Form1->BooksSort().OrderBy(); // the list keeps the order the sort buttons show
    books.SQL.Clear();
    for (const std::string& line : catalogue::FilterSqlLines(Criteria(), WorkText))
        books.SQL.Add(line);
    books.Open();
    Form1->Tag = kBuiltByExtendedFilter;
}

void TForm10::BitBtn10Click(ui::TObject*)
{
    if (ui::MessageBox(nullptr, "Opravdu chcete vymazat celý formulář?", "Vymazání formuláře",
                       ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES)
        return;
    ClearCriteria();
    ComboBox9.SetItemIndex(0);
    ComboBox8.SetFocus();
}

void TForm10::Button1Click(ui::TObject*)
{
    Close();
}

void TForm10::PickListEnter(ui::TObject* Sender)
{
    if (auto* pick = dynamic_cast<ui::TComboBox*>(Sender))
        SavedComboText = pick->Text();
}

void TForm10::PickListChange(ui::TObject* Sender)
{
    if (auto* pick = dynamic_cast<ui::TComboBox*>(Sender))
        SavedComboText = pick->Text();
}

void TForm10::PickListExit(ui::TObject* Sender)
{
    if (auto* pick = dynamic_cast<ui::TComboBox*>(Sender)) {
        pick->SetSelLength(0);
        if (pick->Text() != SavedComboText)
            pick->SetText(SavedComboText);
    }
}

void TForm10::RangeKeyDown(ui::TObject* Sender, ui::Word&, ui::TShiftState)
{
    if (auto* edit = dynamic_cast<ui::TEdit*>(Sender))
        ui::IntegerFieldKeyDown(*edit, LastIntValue);
}

void TForm10::RangeKeyUp(ui::TObject* Sender, ui::Word&, ui::TShiftState)
{
    if (auto* edit = dynamic_cast<ui::TEdit*>(Sender))
        ui::IntegerFieldKeyUp(*edit, LastIntValue);
}
