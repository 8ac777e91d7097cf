#include "catalogue/PridatCtenareSdilene.h"

#include "app/Hlavni.h"
#include "platform/sys/CzechText.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QStyle>

#include <vector>

namespace readers {

int LayOutReaderRows(const std::vector<std::pair<ui::TLabel*, ui::TControl*>>& rows, int top, int step,
                     ui::TComboBox& classes, ui::TBitBtn& addClass, ui::TComboBox& categories,
                     ui::TBitBtn& addCategory) {
    const int fieldLeft = 80;
    const int fieldWidth = 186;
    const int rowHeight = 24;
    for (const auto& [label, field] : rows) {
        const bool list = field == &classes || field == &categories;
        field->SetBounds(fieldLeft, top, list ? fieldWidth - 30 : fieldWidth, rowHeight);
        label->SetLeft(10);
        label->SetTop(top + (rowHeight - label->Height()) / 2);
        top += step;
    }
    const QIcon add = QApplication::style()->standardIcon(QStyle::SP_FileDialogNewFolder);
    const std::pair<ui::TBitBtn*, const char*> buttons[] = {{&addClass, "Přidat třídu"},
                                                           {&addCategory, "Přidat kategorii"}};
    for (const auto& [button, hint] : buttons) {
        const ui::TControl& list = button == &addClass ? static_cast<ui::TControl&>(classes) : categories;
        button->SetGlyph(add);
        button->SetHint(hint);
        button->SetBounds(fieldLeft + fieldWidth - 26, list.Top(), 26, rowHeight);
        button->SetTabStop(false);
    }
    return top;
}

void FillFromCodeList(ui::TComboBox& list, data::TDataSet& codeList) {
    std::vector<std::string> names;
    codeList.DisableControls();
    try {
        data::TField& name = codeList.FieldByName("Nazev");
        for (codeList.First(); !codeList.Eof(); codeList.Next())
            names.push_back(name.AsString());
    } catch (...) {
        codeList.EnableControls();
        throw;
    }
    codeList.EnableControls();
    list.SetItems(names);
    list.SetItemIndex(-1);
}

void AddCodeListValue(data::TDataSet& codeList, ui::TComboBox& list, const std::string& prompt) {
    const int width = codeList.FieldByName("Nazev").Size();
    std::string name;
    for (;;) {
        if (!ui::InputQuery("Zadejte název", prompt, name)) return;
        if (width <= 0 || sys::Utf8Length(name) <= static_cast<std::size_t>(width)) break;
        ui::MessageBox(nullptr, "Název může mít nejvýše " + std::to_string(width) + " znaků!",
                       "Zadejte název", ui::MB_OK | ui::MB_ICONWARNING);
    }
    try {
        codeList.Append();
        codeList.FieldByName("Nazev").SetAsString(name);
        codeList.Post();
    } catch (...) {
        CancelPending(codeList);
        throw;
    }
    list.AddItem(name);
    list.SetItemIndex(list.IndexOf(name));
}

void KeepValidSelection(ui::TComboBox& list, int& lastItemIndex) {
    if (list.ItemIndex() < 0 && !list.Text().empty()) {
        if (lastItemIndex >= 0 && lastItemIndex < list.Count()) list.SetItemIndex(lastItemIndex);
    } else {
        lastItemIndex = list.ItemIndex();
    }
}

void ShowStoredValue(ui::TComboBox& list, const std::string& value) {
    if (value.empty()) {
        list.SetItemIndex(-1);
        return;
    }
    const std::vector<std::string> items = list.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == value) {
            list.SetItemIndex(static_cast<int>(i));
            return;
        }
    }
    list.SetItemIndex(list.AddItem(value));
}

void CancelPending(data::TDataSet& dataSet) {
    try {
        if (dataSet.State() == data::TDataSetState::dsEdit ||
            dataSet.State() == data::TDataSetState::dsInsert)
            dataSet.Cancel();
    } catch (const std::exception&) {
        // Nothing more can be done for a change the data layer cannot even drop.
    }
}

void RebuildReadersList() {
    if (Form1 == nullptr) return;
    Form1->Query2.Close();
    Form1->Edit10Change(nullptr);
    Form1->Query2.Open();
}

} // namespace readers
