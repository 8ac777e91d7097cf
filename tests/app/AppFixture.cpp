#include "AppFixture.h"

#include "app/CreateWindows.h"
#include "app/Hlavni.h"
#include "app/ZmenitDatum.h"
#include "platform/data/Quote.h"
#include "platform/data/TableSchema.h"
#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QTest>

#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace apptest {

data::TDateTime Today()
{
    return *sys::EncodeDate(2024, 9, 15);
}

std::string DayText(int offsetFromToday)
{
    return sys::FormatShortDate(data::TDateTime{Today().days + offsetFromToday});
}

namespace {

fs::path SchemaFolder()
{
    const char* source = std::getenv("LENDAR_SOURCE_DIR");
    if (source == nullptr)
        throw std::runtime_error("LENDAR_SOURCE_DIR is not set");
    return fs::path(source) / "install" / "tables";
}

// Runs `fill` on the table opened for writing, posts and gives back the new record's number (0 for
// a table without one).
std::int64_t AppendRecord(const std::string& file, const std::function<void(data::TTable&)>& fill)
{
    data::TTable table;
    table.TableName = file;
    table.Open();
    table.Append();
    fill(table);
    table.Post();
    const data::TField* number = table.FindField("Cislo");
    const std::int64_t result = number != nullptr ? number->AsInteger() : 0;
    table.Close();
    return result;
}

} // namespace

std::int64_t AppendRow(const std::string& file, const FieldTexts& values)
{
    return AppendRecord(file, [&](data::TTable& t) {
        for (const auto& [field, value] : values)
            t.FieldByName(field).SetAsString(value);
    });
}

void TypeKeys(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void AppTest::SetUp()
{
    std::string pattern = (fs::temp_directory_path() / "lendar-app-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    for (const auto& entry : fs::directory_iterator(SchemaFolder())) {
        if (entry.path().extension() != ".schema")
            continue;
        const data::TableSchema schema = data::ReadSchemaFile(entry.path());
        data::WriteTableFile(folder_ / schema.fileName, schema);
    }
    previous_ = fs::current_path();
    fs::current_path(folder_);

    if (const char* registry = std::getenv("LENDAR_REGISTRY")) {
        hadRegistry_ = true;
        registryBefore_ = registry;
    }
    setenv("LENDAR_REGISTRY", (folder_ / "registry.conf").c_str(), 1);

    clock_ = std::make_unique<sys::FixedClock>(Today());
    clockScope_ = std::make_unique<sys::ScopedClock>(*clock_);

    dialogs_ = std::make_unique<ui::ScriptedDialogs>();
    dialogs_->OnFailure = [](const std::string& what) { ADD_FAILURE() << what; };
    ui::Application.Reset();
    ui::Application.Title = "Orbelin Pernoka";
}

void AppTest::TearDown()
{
    DestroyWindows();
    dialogs_.reset();
    ui::Application.Reset();
    clockScope_.reset();
    if (hadRegistry_)
        setenv("LENDAR_REGISTRY", registryBefore_.c_str(), 1);
    else
        unsetenv("LENDAR_REGISTRY");
    std::error_code error;
    fs::current_path(previous_, error);
    fs::remove_all(folder_, error);
}

std::int64_t AppTest::AddReader(const std::string& name, bool active, const std::string& schoolClass,
                                const std::string& note, const std::string& category)
{
    return AppendRecord("Čtenáři.db", [&](data::TTable& t) {
        t.FieldByName("Jmeno").SetAsString(name);
        t.FieldByName("Trida").SetAsString(schoolClass);
        t.FieldByName("Poznamka").SetAsString(note);
        t.FieldByName("Kategorie").SetAsString(category);
        t.FieldByName("Aktivni").SetAsString(active ? "True" : "False");
        t.FieldByName("Stav").SetAsString(active ? "Aktivní" : "Neaktivní");
    });
}

std::int64_t AppTest::AddBook(const std::string& code, const std::string& title, bool lent, const std::string& discarded)
{
    return AppendRecord("Knihy.DB", [&](data::TTable& t) {
        t.FieldByName("Kod").SetAsString(code);
        t.FieldByName("Nazev").SetAsString(title);
        t.FieldByName("Autor").SetAsString("Autor " + code);
        t.FieldByName("Pujceno").SetAsString(lent ? "True" : "False");
        t.FieldByName("VyrazenoDatum").SetAsString(discarded);
        t.FieldByName("Vlastnosti").SetAsString(lent ? "Půjčená" : discarded.empty() ? "" : "Vyřazená");
    });
}

std::int64_t AppTest::AddLoan(std::int64_t reader, std::int64_t book, const std::string& lent,
                              const std::string& returned, int days)
{
    return AppendRecord("Výpůjčky.db", [&](data::TTable& t) {
        t.FieldByName("CisloCtenare").SetAsInteger(reader);
        t.FieldByName("CisloKnihy").SetAsInteger(book);
        t.FieldByName("Pujceno").SetAsString(lent);
        t.FieldByName("Vraceno").SetAsString(returned);
        t.FieldByName("Dnu").SetAsInteger(days);
        t.FieldByName("VracenoB").SetAsString(returned.empty() ? "False" : "True");
    });
}

void AppTest::AddName(const std::string& file, const std::string& name)
{
    AppendRow(file, {{"Nazev", name}});
}

void AppTest::CreateProgramWindows()
{
    CreateWindows();
}

void AppTest::StartProgram()
{
    CreateProgramWindows();
    ASSERT_NE(Form1, nullptr);
    ASSERT_FALSE(Form1->OpenFailed);
    Form1->Show();
}

int AppTest::CountRecords(const std::string& file, const std::string& filter)
{
    data::TTable table;
    table.TableName = file;
    table.SetFilter(filter);
    table.SetFiltered(!filter.empty());
    table.Open();
    const int count = table.RecordCount();
    table.Close();
    return count;
}

namespace {

std::optional<BookRow> FindBook(const std::string& filter)
{
    data::TTable table;
    table.TableName = "Knihy.DB";
    table.SetFilter(filter);
    table.SetFiltered(true);
    table.Open();
    std::optional<BookRow> row;
    if (!table.IsEmpty())
        row = BookRow{table.FieldByName("Cislo").AsInteger(), table.FieldByName("Pujceno").AsString(),
                      table.FieldByName("Vlastnosti").AsString(), table.FieldByName("Nazev").AsString()};
    table.Close();
    return row;
}

} // namespace

std::optional<BookRow> AppTest::Book(const std::string& code)
{
    return FindBook("Kod=" + data::QuoteValue(code));
}

std::optional<BookRow> AppTest::BookByNumber(std::int64_t number)
{
    return FindBook("Cislo='" + std::to_string(number) + "'");
}

std::vector<LoanRow> AppTest::Loans()
{
    data::TTable table;
    table.TableName = "Výpůjčky.db";
    table.Open();
    std::vector<LoanRow> rows;
    for (table.First(); !table.Eof(); table.Next())
        rows.push_back({table.FieldByName("Cislo").AsInteger(), table.FieldByName("CisloCtenare").AsInteger(),
                        table.FieldByName("CisloKnihy").AsInteger(), table.FieldByName("Dnu").AsInteger(),
                        table.FieldByName("Pujceno").AsString(), table.FieldByName("Vraceno").AsString(),
                        table.FieldByName("VracenoB").AsString(), table.FieldByName("Dnu").IsNull()});
    table.Close();
    return rows;
}

void AppTest::ClickTab(int page)
{
    Form1->TabbedNotebook1.ClickTab(page);
}

void AppTest::ChooseReader(const std::string& name)
{
    ui::TComboBox& box = Form1->ComboBox1;
    const int index = box.IndexOf(name);
    ASSERT_GE(index, 0) << name << " is not in the reader list";
    box.setCurrentIndex(index);
    emit box.activated(index);
}

void AppTest::TypeCode(const std::string& code)
{
    Form1->Edit1.SetFocus();
    Form1->Edit1.selectAll();
    if (code.empty())
        QTest::keyClick(&Form1->Edit1, Qt::Key_Backspace);
    else
        QTest::keyClicks(&Form1->Edit1, ui::Q(code));
}

void AppTest::PressLend()
{
    QTest::mouseClick(&Form1->BitBtn10, Qt::LeftButton);
}

void AppTest::DoubleClickLoan(int row)
{
    Form1->DBGrid3.DoubleClickCell(row, 0);
}

bool AppTest::ChangeDate(const std::string& text)
{
    dialogs_->ExpectModal(*Form12, std::function<void(TForm12&)>([text](TForm12& dialog) {
                              dialog.Edit1.SetText(text);
                              dialog.BitBtn1.Click();
                          }),
                          ui::mrCancel);
    Form1->UpDown1.Click();
    return Form12->ModalResult() == ui::mrOk;
}

void AppTest::AsUser(const std::function<void()>& action)
{
    ui::Application.RunHandler(action);
}

} // namespace apptest
