#pragma once
// What the readers page's tests share: the program started with the sort icons in its folder, the
// page opened by its tab, typing into its boxes key by key and reading the list as the grid
// shows it.

#include "AppFixture.h"

#include "app/Hlavni.h"
#include "platform/data/Table.h"
#include "platform/ui/Text.h"

#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace apptest {

class ReadersPageTest : public AppTest {
protected:
    void OpenReadersPage()
    {
        const std::filesystem::path source = std::filesystem::path(std::getenv("LENDAR_SOURCE_DIR")) / "install" /
                                             "Data" / "Icon";
        std::filesystem::create_directories(folder_ / "Data" / "Icon");
        for (const char* icon : {"ICO01.bmp", "ICO02.bmp", "ICO03.bmp"})
            std::filesystem::copy_file(source / icon, folder_ / "Data" / "Icon" / icon);
        StartProgram();
        Form1->Edit13.SetText(folder_.string());
        ClickTab(2);
    }

    // Replaces a box's text key by key, as the librarian types it.
    static void TypeInto(ui::TEdit& box, const std::string& text)
    {
        box.SetFocus();
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Backspace);
        TypeKeys(&box, ui::Q(text));
    }

    // One column of the list as the grid shows it (0 name, 1 class, 2 category, 3 note, 4 state).
    static std::vector<std::string> Shown(int shownColumn = 0)
    {
        std::vector<std::string> values;
        for (int row = 0; row < Form1->DBGrid1.RowCount(); ++row)
            values.push_back(Form1->DBGrid1.CellText(row, shownColumn));
        return values;
    }

    static std::vector<std::string> SqlLines() { return Form1->Query2.SQL.Lines(); }

    static void Highlight(const std::string& name)
    {
        const std::vector<std::string> names = Shown(0);
        for (int row = 0; row < static_cast<int>(names.size()); ++row)
            if (names[static_cast<std::size_t>(row)] == name) {
                Form1->DBGrid1.ClickCell(row, 0);
                return;
            }
        ADD_FAILURE() << name << " is not in the list";
    }

    // Every reader on disk as "name|class|active|state", in record order.
    std::vector<std::string> ReadersOnDisk()
    {
        data::TTable table;
        table.TableName = "Čtenáři.db";
        table.Open();
        std::vector<std::string> rows;
        for (table.First(); !table.Eof(); table.Next())
            rows.push_back(table.FieldByName("Jmeno").AsString() + "|" + table.FieldByName("Trida").AsString() + "|" +
                           table.FieldByName("Aktivni").AsString() + "|" + table.FieldByName("Stav").AsString());
        table.Close();
        return rows;
    }
};

} // namespace apptest
