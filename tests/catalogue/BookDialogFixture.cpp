#include "BookDialogFixture.h"

#include "platform/data/Quote.h"
#include "platform/data/Table.h"

namespace booktest {

void BookDialogTest::SetBookFields(const std::string& code, const std::map<std::string, std::string>& fields)
{
    data::TTable table;
    table.TableName = "Knihy.DB";
    table.SetFilter("Kod=" + data::QuoteValue(code));
    table.SetFiltered(true);
    table.Open();
    ASSERT_FALSE(table.IsEmpty()) << code;
    table.Edit();
    for (const auto& [name, value] : fields)
        table.FieldByName(name).SetAsString(value);
    table.Post();
    table.Close();
}

std::map<std::string, std::string> BookDialogTest::Stored(const std::string& code)
{
    data::TTable table;
    table.TableName = "Knihy.DB";
    table.SetFilter("Kod=" + data::QuoteValue(code));
    table.SetFiltered(true);
    table.Open();
    std::map<std::string, std::string> fields;
    if (!table.IsEmpty())
        for (const auto& field : table.Fields())
            fields[field->FieldName()] = field->AsString();
    table.Close();
    return fields;
}

bool BookDialogTest::StoredNull(const std::string& code, const std::string& field)
{
    data::TTable table;
    table.TableName = "Knihy.DB";
    table.SetFilter("Kod=" + data::QuoteValue(code));
    table.SetFiltered(true);
    table.Open();
    const bool null = !table.IsEmpty() && table.FieldByName(field).IsNull();
    table.Close();
    return null;
}

void BookDialogTest::ShowWithCaption(const std::string& caption, const Action& action, ui::TModalResult closeWith)
{
    Form4->SetCaption(caption);
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>(action), closeWith);
    Form4->ShowModal();
}

void BookDialogTest::ShowAdd(const Action& action, ui::TModalResult closeWith)
{
    for (ui::TEdit* edit : {&Form4->Edit1, &Form4->Edit2, &Form4->ComboBox4, &Form4->Edit6})
        edit->SetText("");
    Form4->ComboBox1.SetText("");
    Form4->ComboBox2.SetText("");
    ShowWithCaption(TForm4::kAddCaption, action, closeWith);
}

void BookDialogTest::ShowEdit(std::int64_t number, const Action& action, ui::TModalResult closeWith)
{
    Form1->Table2.SetFiltered(false);
    Form1->Table2.SetFilter("Cislo='" + std::to_string(number) + "'");
    Form1->Table2.SetFiltered(true);
    ShowWithCaption(TForm4::kEditCaption, action, closeWith);
}

void BookDialogTest::ShowInfo(std::int64_t number, const Action& action, ui::TModalResult closeWith)
{
    Form1->Table2.SetFiltered(false);
    Form1->Table2.SetFilter("Cislo='" + std::to_string(number) + "'");
    Form1->Table2.SetFiltered(true);
    Form4->SetInfoMode();
    dialogs_->ExpectModal(*Form4, std::function<void(TForm4&)>(action), closeWith);
    Form4->ShowModal();
}

void BookDialogTest::Type(QWidget& field, const std::string& text)
{
    field.setFocus();
    for (const QChar c : ui::Q(text)) {
        if (c.unicode() < 128)
            QTest::keyClick(&field, static_cast<char>(c.unicode()));
        else // a Czech letter: a key of its own that types it
            QTest::sendKeyEvent(QTest::Click, &field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace booktest
