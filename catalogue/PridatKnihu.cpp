// The book dialog's handlers: showing a book, saving a new or an edited one, keywords, the two code
// lists, number fields, focus colours and the Enter chain.

#include "catalogue/PridatKnihu.h"

#include "app/Hlavni.h"
#include "catalogue/KeywordText.h"
#include "catalogue/KlicovaSlova.h"
#include "platform/data/Quote.h"
#include "platform/data/ValueText.h"
#include "platform/sys/CzechText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FocusColors.h"
#include "platform/ui/IntegerField.h"

#include <algorithm>
#include <optional>
#include <vector>

TForm4* Form4 = nullptr;

namespace {

const char* const kCodeExists = "Kniha s tímto kódem již existuje!";
const char* const kCodeExistsTitle = "Kód již existuje";
const char* const kBookGone = "Kniha, která se má upravit, již v databázi není.";
const char* const kBookGoneTitle = "Kniha nenalezena";

enum class Mode { Add, Edit, Info };

// The mode by the caption. Any caption but those of the edit and info modes is the add mode, on
// showing and on OK alike, so that no caption can make OK overwrite a book that was never loaded.
Mode ModeOf(const std::string& caption)
{
    if (caption == TForm4::kEditCaption)
        return Mode::Edit;
    if (caption == TForm4::kInfoCaption)
        return Mode::Info;
    return Mode::Add;
}

void Warn(const std::string& text, const std::string& title)
{
    ui::MessageBox(nullptr, text, title, ui::MB_OK | ui::MB_ICONWARNING);
}

// Drops a record left half-written in the books table, so that no later filter change saves it.
void CancelPending(data::TDataSet& dataSet)
{
    try {
        if (dataSet.State() == data::TDataSetState::dsEdit || dataSet.State() == data::TDataSetState::dsInsert)
            dataSet.Cancel();
    } catch (const std::exception&) {
    }
}

// Keeps the controls over a dataset still while a loop walks it.
class ControlsStill {
public:
    explicit ControlsStill(data::TDataSet& dataSet) : dataSet_(dataSet) { dataSet_.DisableControls(); }
    ~ControlsStill() { dataSet_.EnableControls(); }
    ControlsStill(const ControlsStill&) = delete;
    ControlsStill& operator=(const ControlsStill&) = delete;

private:
    data::TDataSet& dataSet_;
};

// The width of a text field, or 0 when the field holds text of any length.
int TextWidth(const data::TDataSet& dataSet, const char* fieldName)
{
    const data::TField& field = dataSet.FieldByName(fieldName);
    return field.DataType() == data::TFieldType::ftString ? field.Size() : 0;
}

// Refuses a text longer than its field, naming the field by its label.
bool RefuseLonger(const std::string& text, int width, const std::string& label)
{
    const std::size_t length = sys::Utf8Length(text);
    if (width <= 0 || length <= static_cast<std::size_t>(width))
        return false;
    Warn("Text v poli \u201E" + label + "\u201C je příliš dlouhý: pole pojme nejvýše " + std::to_string(width) +
             " znaků, zadáno je " + std::to_string(length) + ".",
         "Příliš dlouhý text");
    return true;
}

} // namespace

TForm4::TForm4()
    : ui::TForm("Form4")
{
    SetUpLayout();
    SetUpHandlers();
}

void TForm4::SetUpHandlers()
{
    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnClose = [this](ui::TObject* s, ui::TCloseAction& a) { FormClose(s, a); };
    BitBtn1.OnClick = [this](ui::TObject* s) { BitBtn1Click(s); };
    BitBtn2.OnClick = [this](ui::TObject* s) { BitBtn2Click(s); };
    BitBtn3.OnClick = [this](ui::TObject* s) { BitBtn3Click(s); };
    BitBtn4.OnClick = [this](ui::TObject* s) { BitBtn4Click(s); };
    BitBtn5.OnClick = [this](ui::TObject* s) { BitBtn5Click(s); };
    BitBtn6.OnClick = [this](ui::TObject* s) { BitBtn6Click(s); };
    Edit6.OnChange = [this](ui::TObject* s) { Edit6Change(s); };
    Edit6.OnKeyDown = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit6KeyDown(s, k, sh); };
    Edit6.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit6KeyUp(s, k, sh); };
    Edit3.OnKeyDown = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit3KeyDown(s, k, sh); };
    Edit3.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit3KeyUp(s, k, sh); };
    Edit4.OnKeyDown = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit4KeyDown(s, k, sh); };
    Edit4.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit4KeyUp(s, k, sh); };
    Edit5.OnKeyDown = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit5KeyDown(s, k, sh); };
    Edit5.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { Edit5KeyUp(s, k, sh); };
    ComboBox1.OnChange = [this](ui::TObject* s) { ComboBox1Change(s); };
    ComboBox2.OnChange = [this](ui::TObject* s) { ComboBox2Change(s); };
    Edit1.OnChange = [this](ui::TObject* s) { Edit1Change(s); };
    Edit2.OnChange = [this](ui::TObject* s) { Edit2Change(s); };
    for (ui::TComboBox* box : {&ComboBox1, &ComboBox2}) {
        box->OnEnter = [this](ui::TObject* s) { ComboBoxEnter(s); };
        box->OnExit = [this](ui::TObject* s) { ComboBoxExit(s); };
    }
    // Read-only inputs (the info state) keep their colour.
    ui::EnableFocusColors(
        {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &ComboBox3, &ComboBox4, &ComboBox5, &Memo1});
    // Enter moves on, and from the annotation to the keyword button without pressing it.
    enterChain_.Set({&Edit1, &Edit2, &ComboBox4, &ComboBox3, &ComboBox5, &ComboBox1, &ComboBox2, &Edit7, &Edit6,
                     &Edit3, &Edit4, &Edit5, &Memo1},
                    &BitBtn3);
}

// ---- Showing and closing. ----

void TForm4::SetInfoMode()
{
    for (ui::TEdit* edit : {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &ComboBox3, &ComboBox4, &ComboBox5}) {
        edit->SetReadOnly(true);
        edit->SetColor(ui::clBtnFace);
    }
    Memo1.SetReadOnly(true);
    Memo1.SetColor(ui::clBtnFace);
    for (ui::TComboBox* box : {&ComboBox1, &ComboBox2}) {
        // Any stored text can show, even one that is no longer in the code list.
        box->SetStyle(ui::TComboBoxStyle::csSimple);
        box->Tag = 2;
        box->SetColor(ui::clBtnFace);
    }
    ListBox1.SetColor(ui::clBtnFace);
    for (ui::TBitBtn* button : {&BitBtn3, &BitBtn4, &BitBtn5, &BitBtn6})
        button->SetEnabled(false);
    BitBtn1.SetLeft(320);
    BitBtn2.Hide();
    SetCaption(kInfoCaption);
}

void TForm4::FillCodeList(ui::TComboBox& box, data::TDataSet& codes)
{
    box.ClearItems();
    std::vector<std::string> names;
    {
        const ControlsStill still(codes);
        data::TField& name = codes.FieldByName("Nazev");
        for (codes.First(); !codes.Eof(); codes.Next())
            names.push_back(name.AsString());
    }
    box.SetItems(names);
    box.SetItemIndex(-1);
}

namespace {

// Shows a stored code-list value. A pick-only list shows only its items, so a value that is not
// (or no longer) in the code list becomes an item of its own and is written back unchanged.
void ShowCodeValue(ui::TComboBox& box, const std::string& value)
{
    if (box.Style() != ui::TComboBoxStyle::csDropDownList) {
        box.SetText(value);
        return;
    }
    if (value.empty()) {
        box.SetItemIndex(-1);
        return;
    }
    const std::vector<std::string> items = box.Items();
    const auto found = std::find(items.begin(), items.end(), value);
    box.SetItemIndex(found != items.end() ? static_cast<int>(found - items.begin()) : box.AddItem(value));
}

} // namespace

void TForm4::LoadBook()
{
    data::TTable& books = Form1->Table2;
    const auto text = [&books](const char* name) { return books.FieldByName(name).AsString(); };
    Edit1.SetText(text("Kod"));
    Edit2.SetText(text("Nazev"));
    ComboBox4.SetText(text("Autor"));
    ShowCodeValue(ComboBox1, text("Kategorie"));
    ShowCodeValue(ComboBox2, text("Umisteni"));
    ComboBox3.SetText(text("Ilustrator"));
    ComboBox5.SetText(text("Nakladatelstvi"));
    Edit6.SetText(text("CenaX"));
    Edit3.SetText(text("RokVydani"));
    Edit4.SetText(text("PocetStran"));
    Edit5.SetText(text("VekOd"));
    Edit7.SetText(text("Signatura"));
    Memo1.SetText(text("Anotace"));
    ListBox1.SetItems(catalogue::SplitKeywords(text("KlicovaSlova")));
}

void TForm4::FormShow(ui::TObject*)
{
    FillCodeList(ComboBox1, Form1->Table6);
    FillCodeList(ComboBox2, Form1->Table7);

    if (ModeOf(Caption()) == Mode::Add) {
        Edit1.SetFocus();
        return;
    }
    try {
        if (!Form1->Table2.Active() || Form1->Table2.IsEmpty()) {
            Warn(kBookGone, kBookGoneTitle);
            Close();
            return;
        }
        LoadBook();
    } catch (const std::exception& error) {
        ui::MessageBox(nullptr, std::string("Knihu se nepodařilo načíst.\n") + error.what(), kBookGoneTitle,
                       ui::MB_OK | ui::MB_ICONERROR);
        Close();
        return;
    }
    SavedComboText1 = ComboBox1.Text();
    SavedComboText2 = ComboBox2.Text();
    // Loading coloured the code and title as when typed into; every input shows unfocused now.
    for (ui::TControl* input : std::initializer_list<ui::TControl*>{&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6,
                                                                     &Edit7, &ComboBox3, &ComboBox4, &ComboBox5, &Memo1})
        ui::PaintUnfocused(*input);
    ComboBoxExit(&ComboBox1);
    ComboBoxExit(&ComboBox2);
    BitBtn1.SetFocus();
}

void TForm4::FormClose(ui::TObject*, ui::TCloseAction&)
{
    for (ui::TEdit* edit : {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &ComboBox3, &ComboBox4, &ComboBox5})
        edit->Clear();
    Memo1.Clear();
    ListBox1.ClearItems();
    for (ui::TComboBox* box : {&ComboBox1, &ComboBox2}) {
        box->SetStyle(ui::TComboBoxStyle::csDropDownList);
        box->Tag = 1;
        box->SetItemIndex(-1);
    }
    for (ui::TEdit* edit : {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &ComboBox3, &ComboBox4, &ComboBox5})
        edit->SetReadOnly(false);
    Memo1.SetReadOnly(false);
    for (ui::TControl* input : std::initializer_list<ui::TControl*>{
             &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4,
             &ComboBox5, &Memo1, &ListBox1}) {
        input->SetColor(ui::clWhite);
        input->SetFontColor(ui::clBlack);
    }
    SetCaption(kAddCaption);
    for (ui::TBitBtn* button : {&BitBtn3, &BitBtn4, &BitBtn5, &BitBtn6})
        button->SetEnabled(true);
    BitBtn1.SetLeft(294);
    BitBtn2.Show();
}

void TForm4::BitBtn2Click(ui::TObject*)
{
    Close();
}

// ---- OK. ----

bool TForm4::RefuseMissing()
{
    const bool noCode = Edit1.Text().empty();
    const bool noTitle = Edit2.Text().empty();
    if (!noCode && !noTitle)
        return false;
    if (noTitle)
        ui::MarkMissing(Edit2);
    if (noCode)
        ui::MarkMissing(Edit1);
    // Moving the focus repainted the inputs it passed; every missing one shows red.
    if (noTitle)
        Edit2.SetColor(ui::clRed);
    if (noCode)
        Edit1.SetColor(ui::clRed);
    Warn("Musíte zadat kód a název knihy!", "Zadejte kód a název knihy");
    return true;
}

bool TForm4::RefuseTooLong(const data::TDataSet& books)
{
    struct Input {
        ui::TControl* control;
        const ui::TLabel* label;
        const char* field;
        std::string text;
    };
    const Input inputs[] = {
        {&Edit1, &Label1, "Kod", Edit1.Text()},
        {&Edit2, &Label2, "Nazev", Edit2.Text()},
        {&ComboBox4, &Label3, "Autor", ComboBox4.Text()},
        {&ComboBox3, &Label4, "Ilustrator", ComboBox3.Text()},
        {&ComboBox5, &Label5, "Nakladatelstvi", ComboBox5.Text()},
        {&ComboBox1, &Label6, "Kategorie", ComboBox1.Text()},
        {&ComboBox2, &Label7, "Umisteni", ComboBox2.Text()},
        {&Edit7, &Label8, "Signatura", Edit7.Text()},
        {&Memo1, &Label14, "Anotace", Memo1.Text()},
        {&ListBox1, &Label15, "KlicovaSlova", catalogue::JoinKeywords(ListBox1.Items())},
    };
    for (const Input& input : inputs) {
        if (RefuseLonger(input.text, TextWidth(books, input.field), input.label->Caption())) {
            input.control->SetFocus();
            return true;
        }
    }
    return false;
}

bool TForm4::CodeTaken(const std::string& code, std::optional<std::int64_t> except)
{
    data::TTable& books = Form1->Table2;
    books.SetFiltered(false);
    books.SetFilter("Kod=" + data::QuoteValue(code));
    books.SetFiltered(true);
    bool taken = false;
    for (books.First(); !books.Eof() && !taken; books.Next())
        taken = !except || books.FieldByName("Cislo").AsInteger() != *except;
    books.SetFiltered(false);
    return taken;
}

void TForm4::WriteBook(data::TDataSet& books, bool isNew)
{
    const auto set = [&books](const char* name, const std::string& value) {
        books.FieldByName(name).SetAsString(value);
    };
    set("Kod", Edit1.Text());
    set("Nazev", Edit2.Text());
    set("Autor", ComboBox4.Text());
    set("Kategorie", ComboBox1.Text());
    set("Umisteni", ComboBox2.Text());
    set("CenaX", Edit6.Text());
    if (isNew)
        set("Pujceno", "False");
    set("Ilustrator", ComboBox3.Text());
    set("Nakladatelstvi", ComboBox5.Text());
    set("Signatura", Edit7.Text());
    set("RokVydani", Edit3.Text());
    set("PocetStran", Edit4.Text());
    set("VekOd", Edit5.Text());
    set("Anotace", Memo1.Text());
    set("KlicovaSlova", catalogue::JoinKeywords(ListBox1.Items()));
}

void TForm4::SaveNew()
{
    data::TTable& books = Form1->Table2;
    if (CodeTaken(Edit1.Text(), std::nullopt)) {
        Warn(kCodeExists, kCodeExistsTitle);
        return;
    }
    books.Append();
    WriteBook(books, true);
    books.Post();
    SetModalResult(ui::mrOk);
}

void TForm4::SaveEdited()
{
    data::TTable& books = Form1->Table2;
    // Edit on an empty table would make a new record; a book that is gone is not made up again.
    if (!books.Active() || books.IsEmpty()) {
        Warn(kBookGone, kBookGoneTitle);
        return;
    }
    const std::int64_t number = books.FieldByName("Cislo").AsInteger();
    const std::string code = Edit1.Text();
    // The code is compared as stored; a code that does not fit was refused before.
    const bool taken = code != books.FieldByName("Kod").AsString() && CodeTaken(code, number);

    // Back onto the book, by its number, which the code test above cannot have changed.
    books.SetFiltered(false);
    books.SetFilter("Cislo=" + data::QuoteValue(std::to_string(number)));
    books.SetFiltered(true);
    if (taken) {
        Warn(kCodeExists, kCodeExistsTitle);
        return;
    }
    if (books.IsEmpty()) {
        Warn(kBookGone, kBookGoneTitle);
        return;
    }
    books.Edit();
    WriteBook(books, false);
    books.Post();
    SetModalResult(ui::mrOk);
}

void TForm4::BitBtn1Click(ui::TObject*)
{
    data::TTable& books = Form1->Table2;
    try {
        const Mode mode = ModeOf(Caption());
        if (mode == Mode::Info) {
            // Nothing can be changed here, so nothing is written.
            SetModalResult(ui::mrOk);
        } else if (!RefuseMissing() && !RefuseTooLong(books)) {
            if (mode == Mode::Add)
                SaveNew();
            else
                SaveEdited();
        }
    } catch (const std::exception& error) {
        // Nothing half-written stays in the table; what was typed stays in the dialog.
        CancelPending(books);
        ui::MessageBox(nullptr, std::string("Knihu se nepodařilo uložit.\n") + error.what(), "Chyba při ukládání",
                       ui::MB_OK | ui::MB_ICONERROR);
    }
    // Whatever happened, the main window's book list is built again.
    Form1->Query1.Close();
    Form1->Edit5Change(nullptr);
    Form1->Query1.Open();
}

// ---- Keywords and code lists. ----

void TForm4::BitBtn3Click(ui::TObject*)
{
    if (ListBox1.Count() >= kMaxKeywords) {
        Warn("U jedné knihy lze zadat maximálně 10 klíčových slov!", "Nelze přidat klíčové slovo");
        return;
    }
    Form9->SetPickMode();
    Form9->ShowModal();
}

void TForm4::BitBtn4Click(ui::TObject*)
{
    const int index = ListBox1.ItemIndex();
    if (index >= 0)
        ListBox1.DeleteItem(index);
}

void TForm4::AddCode(ui::TComboBox& box, data::TDataSet& codes, const std::string& prompt)
{
    std::string name;
    if (!ui::InputQuery("Zadejte název", prompt, name))
        return;
    if (RefuseLonger(name, TextWidth(codes, "Nazev"), "Název"))
        return;
    try {
        codes.Append();
        codes.FieldByName("Nazev").SetAsString(name);
        codes.Post();
    } catch (...) {
        CancelPending(codes);
        throw;
    }
    box.SetItemIndex(box.AddItem(name));
}

void TForm4::BitBtn5Click(ui::TObject*)
{
    AddCode(ComboBox1, Form1->Table6, "Zadejte prosím název nového typu knihy:");
}

void TForm4::BitBtn6Click(ui::TObject*)
{
    AddCode(ComboBox2, Form1->Table7, "Zadejte prosím název nového umístění knihy:");
}

void TForm4::ComboBox1Change(ui::TObject*)
{
    if (InfoMode())
        ComboBox1.SetText(SavedComboText1);
    else
        SavedComboText1 = ComboBox1.Text();
}

void TForm4::ComboBox2Change(ui::TObject*)
{
    if (InfoMode())
        ComboBox2.SetText(SavedComboText2);
    else
        SavedComboText2 = ComboBox2.Text();
}

// ---- Number fields. ----

void TForm4::Edit6Change(ui::TObject*)
{
    // A whole number shows in its plain form (no leading zeros, no plus sign).
    const std::string text = Edit6.Text();
    if (const auto value = ui::StrToIntOpt(text)) {
        const std::string plain = std::to_string(*value);
        if (plain != text)
            Edit6.SetText(plain);
    }
}

void TForm4::Edit6KeyDown(ui::TObject*, ui::Word&, ui::TShiftState)
{
    ui::IntegerFieldKeyDown(Edit6, LastIntValue);
}

void TForm4::Edit6KeyUp(ui::TObject*, ui::Word&, ui::TShiftState)
{
    // The price also takes an amount with decimals ("12,50"); anything else falls back as in the
    // other number fields.
    const std::string text = Edit6.Text();
    if (!ui::StrToIntOpt(text) && data::ParseCurrency(text))
        return;
    ui::IntegerFieldKeyUp(Edit6, LastIntValue);
}

void TForm4::Edit3KeyDown(ui::TObject*, ui::Word&, ui::TShiftState)
{
    ui::IntegerFieldKeyDown(Edit3, LastIntValue);
}

void TForm4::Edit3KeyUp(ui::TObject*, ui::Word&, ui::TShiftState)
{
    ui::IntegerFieldKeyUp(Edit3, LastIntValue);
}

void TForm4::Edit4KeyDown(ui::TObject*, ui::Word&, ui::TShiftState)
{
    ui::IntegerFieldKeyDown(Edit4, LastIntValue);
}

void TForm4::Edit4KeyUp(ui::TObject*, ui::Word&, ui::TShiftState)
{
    ui::IntegerFieldKeyUp(Edit4, LastIntValue);
}

void TForm4::Edit5KeyDown(ui::TObject*, ui::Word&, ui::TShiftState)
{
    ui::IntegerFieldKeyDown(Edit5, LastIntValue);
}

void TForm4::Edit5KeyUp(ui::TObject*, ui::Word&, ui::TShiftState)
{
    ui::IntegerFieldKeyUp(Edit5, LastIntValue);
}

// ---- Focus colours. ----

void TForm4::Edit1Change(ui::TObject*)
{
    // Typing takes away the red mark of a refused OK.
    if (!Edit1.ReadOnly())
        Edit1.SetColor(ui::clInfoBk);
}

void TForm4::Edit2Change(ui::TObject*)
{
    if (!Edit2.ReadOnly())
        Edit2.SetColor(ui::clInfoBk);
}

void TForm4::ComboBoxEnter(ui::TObject* Sender)
{
    auto* box = dynamic_cast<ui::TComboBox*>(Sender);
    if (box != nullptr && box->Tag == 1)
        ui::PaintFocused(*box);
}

void TForm4::ComboBoxExit(ui::TObject* Sender)
{
    auto* box = dynamic_cast<ui::TComboBox*>(Sender);
    if (box == nullptr)
        return;
    box->SetSelLength(0);
    if (box->Tag == 1)
        ui::PaintUnfocused(*box);
}
