#pragma once
// What the books page's tests share: a library of a few books, the page opened by its tab, the
// sort icons laid out in the test's program folder, and reading the list as the grid shows it.

#include "AppFixture.h"

#include "app/Hlavni.h"
#include "platform/data/Table.h"
#include "platform/ui/Text.h"

#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace apptest {

class BooksPageTest : public AppTest {
protected:
    // A book with every field the page shows; `fill` sets more.
    std::int64_t AddFullBook(const std::string& code, const std::string& title, const std::string& author,
                             const std::string& place, const std::function<void(data::TTable&)>& fill = {})
    {
        data::TTable table;
        table.TableName = "Knihy.DB";
        table.Open();
        table.Append();
        table.FieldByName("Kod").SetAsString(code);
        table.FieldByName("Nazev").SetAsString(title);
        table.FieldByName("Autor").SetAsString(author);
        table.FieldByName("Umisteni").SetAsString(place);
        table.FieldByName("Pujceno").SetAsString("False");
        if (fill)
            fill(table);
        table.Post();
        const std::int64_t number = table.FieldByName("Cislo").AsInteger();
        table.Close();
        return number;
    }

    // The program with the sort icons in its folder's Data/Icon (all three, or those given).
    void StartWithIcons(const std::vector<std::string>& icons = {"ICO01.bmp", "ICO02.bmp", "ICO03.bmp"})
    {
        const std::filesystem::path source = std::filesystem::path(std::getenv("LENDAR_SOURCE_DIR")) / "install" /
                                             "Data" / "Icon";
        std::filesystem::create_directories(folder_ / "Data" / "Icon");
        for (const std::string& icon : icons)
            std::filesystem::copy_file(source / icon, folder_ / "Data" / "Icon" / icon);
        StartProgram();
        Form1->Edit13.SetText(folder_.string());
    }

    void OpenBooksPage()
    {
        StartWithIcons();
        ClickTab(1);
    }

    // Types into a box as the librarian does: the box's text replaced key by key.
    static void TypeInto(ui::TEdit& box, const std::string& text)
    {
        box.SetFocus();
        box.selectAll();
        if (text.empty())
            QTest::keyClick(&box, Qt::Key_Backspace);
        for (const QChar c : ui::Q(text)) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(&box, c.toLatin1());
            } else {
                // A letter with no key of its own on the test keyboard, as an input method sends it.
                QTest::sendKeyEvent(QTest::Press, &box, Qt::Key_unknown, QString(c), Qt::NoModifier);
                QTest::sendKeyEvent(QTest::Release, &box, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }

    // Chooses an item of the state box as the user does.
    static void ChooseState(int item)
    {
        Form1->ComboBox12.setCurrentIndex(item);
        emit Form1->ComboBox12.activated(item);
    }

    // The values of one column of the list, as the grid shows them.
    static std::vector<std::string> Shown(int shownColumn = 1)
    {
        std::vector<std::string> values;
        for (int row = 0; row < Form1->DBGrid2.RowCount(); ++row)
            values.push_back(Form1->DBGrid2.CellText(row, shownColumn));
        return values;
    }

    static std::vector<std::string> SqlLines() { return Form1->Query1.SQL.Lines(); }

    // Highlights the row of the list showing `title`.
    static void Highlight(const std::string& title)
    {
        const std::vector<std::string> titles = Shown(1);
        for (int row = 0; row < static_cast<int>(titles.size()); ++row)
            if (titles[static_cast<std::size_t>(row)] == title) {
                Form1->DBGrid2.ClickCell(row, 1);
                return;
            }
        ADD_FAILURE() << title << " is not in the list";
    }
};

} // namespace apptest
