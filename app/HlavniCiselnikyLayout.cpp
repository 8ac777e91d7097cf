// Controls of the code-list and loan-archive pages: positions, starting states, events, and the
// rules the code lists keep (no empty new entries, class names typed within the field's width).

#include "app/Hlavni.h"

#include "platform/data/Field.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>

#include <memory>

namespace {

// Cell editors that take no more characters than the field holds.
class WidthDelegate : public QStyledItemDelegate {
public:
    WidthDelegate(QObject* parent, int width) : QStyledItemDelegate(parent), width_(width) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(width_);
        return editor;
    }

private:
    int width_;
};

bool Blank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

// A code list keeps no entry without a name: a new row posted empty is taken back at once, so a
// row inserted and left is as good as cancelled.
void KeepNoEmptyEntries(data::TTable& table)
{
    auto inserting = std::make_shared<bool>(false);
    table.BeforePost = [inserting](data::TDataSet& ds) { *inserting = ds.State() == data::TDataSetState::dsInsert; };
    table.AfterPost = [inserting](data::TDataSet& ds) {
        if (*inserting && Blank(ds.FieldByName("Nazev").AsString()))
            ds.Delete();
        *inserting = false;
    };
}

} // namespace

void TForm1::SetUpCodeListPages()
{
    const std::pair<ui::TControl*, const char*> names[] = {
        {&Label14, "Label14"},         {&Label15, "Label15"},     {&Label18, "Label18"}, {&Label19, "Label19"},
        {&Label20, "Label20"},         {&RadioGroup1, "RadioGroup1"}, {&CheckBox6, "CheckBox6"},
        {&BitBtn8, "BitBtn8"},
    };
    for (const auto& [control, name] : names)
        control->Name = name;

    // Page 4: four code lists side by side, each with its navigator.
    const std::pair<ui::TLabel*, ui::TDBGrid*> lists[] = {
        {&Label14, &DBGrid5}, {&Label15, &DBGrid6}, {&Label18, &DBGrid7}, {&Label19, &DBGrid9}};
    ui::TDBNavigator* const navigators[] = {&DBNavigator1, &DBNavigator2, &DBNavigator3, &DBNavigator5};
    int left = 8;
    for (std::size_t i = 0; i < std::size(lists); ++i) {
        lists[i].first->SetBounds(left, 10, 210, 16);
        lists[i].second->SetBounds(left, 30, 210, 440);
        navigators[i]->SetBounds(left, 476, 210, 25);
        left += 218;
    }
    DBNavigator1.OnClick = [this](ui::TObject* s, ui::TNavigateBtn b) { DBNavigator1Click(s, b); };
    SetTabOrder({&DBGrid5, &DBGrid6, &DBGrid7, &DBGrid9, &DBNavigator1, &DBNavigator2, &DBNavigator3, &DBNavigator5});

    for (data::TTable* table : {&Table4, &Table5, &Table6, &Table7})
        KeepNoEmptyEntries(*table);
    // A class name takes no more characters than its field holds, rather than being cut on saving.
    DBGrid6.setItemDelegateForColumn(0, new WidthDelegate(&DBGrid6, 10));

    // Page 5: the loan archive.
    archive_.Name = "Table2";
    archive_.TableName = "VýpůjčkyArchiv.db";
    archive_.Exclusive = true;
    Label20.SetBounds(580, 86, 294, 16);
    Label20.Hide();
    RadioGroup1.SetItems({"Podle čtenáře", "Podle kódu knihy", "Podle názvu knihy", "Podle datumu půjčení",
                          "Podle datumu vrácení", "Podle doby půjčení"});
    RadioGroup1.SetColumns(3);
    RadioGroup1.SetItemIndex(4);
    RadioGroup1.SetBounds(8, 22, 560, 88);
    CheckBox6.SetBounds(580, 56, 160, 20);
    DBGrid8.SetBounds(8, 116, 866, 378);
    DBGrid8.SetTabStop(false);
    DBGrid8.SetColumns({
        {"Cislo", "", 40, false},
        {"CisloCtenare", "", 40, false},
        {"Ctenar", "Čtenář", 210},
        {"CisloKnihy", "", 40, false},
        {"KodKnihy", "Kód knihy", 80, true, ui::TAlignment::taCenter},
        {"Kniha", "Název knihy", 300},
        {"Pujceno", "Půjčeno", 90, true, ui::TAlignment::taCenter},
        {"Vraceno", "Vráceno", 90, true, ui::TAlignment::taCenter},
        {"Dnu", "Dnů", 50, true, ui::TAlignment::taCenter},
    });
    DBNavigator4.SetBounds(8, 500, 120, 25);
    BitBtn8.SetGlyph(QApplication::style()->standardIcon(QStyle::SP_FileDialogContentsView));
    BitBtn8.SetBounds(744, 498, 130, 28);

    RadioGroup1.OnClick = [this](ui::TObject* s) { RadioGroup1Click(s); };
    CheckBox6.OnClick = [this](ui::TObject* s) { RadioGroup1Click(s); };
    CheckBox6.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { CheckBoxKeyUp(s, k, sh); };
    BitBtn8.OnClick = [this](ui::TObject* s) { BitBtn8Click(s); };
    SetTabOrder({&RadioGroup1, &CheckBox6, &DBNavigator4, &BitBtn8});
}
