#include "ReaderDialogSupport.h"

#include "platform/data/Quote.h"
#include "platform/data/Table.h"
#include "platform/ui/Text.h"

namespace readertest {

void ReaderDialogTest::SetUp() {
    AppTest::SetUp();
    for (const char* schoolClass : {"6.B", "5.A", "7.C"})
        AddName("Číselníky02.db", schoolClass);
    for (const char* category : {"Žák", "Učitel"})
        AddName("Číselníky.db", category);
}

std::vector<std::string> ReaderDialogTest::CodeList(const std::string& file) {
    data::TTable table;
    table.TableName = file;
    table.Open();
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next())
        names.push_back(table.FieldByName("Nazev").AsString());
    table.Close();
    return names;
}

std::vector<ReaderRow> ReaderDialogTest::Readers() {
    data::TTable table;
    table.TableName = "Čtenáři.db";
    table.Open();
    std::vector<ReaderRow> rows;
    for (table.First(); !table.Eof(); table.Next())
        rows.push_back({table.FieldByName("Cislo").AsInteger(), table.FieldByName("Jmeno").AsString(),
                        table.FieldByName("Trida").AsString(), table.FieldByName("Kategorie").AsString(),
                        table.FieldByName("Poznamka").AsString(), table.FieldByName("Aktivni").AsString(),
                        table.FieldByName("Stav").AsString()});
    table.Close();
    return rows;
}

std::optional<ReaderRow> ReaderDialogTest::Reader(std::int64_t number) {
    for (const ReaderRow& row : Readers())
        if (row.Cislo == number) return row;
    return std::nullopt;
}

void ReaderDialogTest::Keys(QWidget& widget, const std::string& text) {
    for (const QChar ch : ui::Q(text)) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(&widget, static_cast<char>(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void ReaderDialogTest::Type(ui::TEdit& field, const std::string& text) {
    field.SetFocus();
    Keys(field, text);
}

void ReaderDialogTest::Retype(ui::TEdit& field, const std::string& text) {
    field.SetFocus();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    if (!text.empty()) Keys(field, text);
}

void ReaderDialogTest::Choose(ui::TComboBox& list, const std::string& item) {
    list.SetFocus();
    const int target = list.Items().empty() ? -1 : [&] {
        const auto items = list.Items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == item) return static_cast<int>(i);
        return -1;
    }();
    ASSERT_GE(target, 0) << item << " is not in " << list.Name;
    QTest::keyClick(&list, Qt::Key_Home);
    for (int i = 0; i < target && list.ItemIndex() != target; ++i)
        QTest::keyClick(&list, Qt::Key_Down);
    if (list.ItemIndex() < 0) QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_EQ(list.Text(), item);
}

} // namespace readertest
