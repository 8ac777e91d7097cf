// Saved filters: one rich-text file "<name>.flt" per filter in Data/Filters below the program
// folder, whose text is the filter's record line. Listing, loading, saving and deleting them.

#include "app/Hlavni.h"
#include "catalogue/FiltrKnih.h"
#include "platform/sys/AtomicFile.h"
#include "platform/sys/CzechText.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/RichText.h"

#include <system_error>

namespace {

const char* const kNameTitle = "Zadejte název filtru";
const char* const kNamePrompt = "Zadejte prosím název filtru:";

std::filesystem::path FilterFile(const std::filesystem::path& folder, const std::string& name)
{
    return folder / std::filesystem::u8path(name + ".flt");
}

} // namespace

std::filesystem::path TForm10::FiltersFolder() const
{
    return std::filesystem::u8path(Form1->Edit13.Text()) / "Data" / "Filters";
}

void TForm10::ListSavedFilters(ui::TComboBox& target)
{
    target.ClearItems();
    target.AddItem(kNoSavedFilter);
    target.SetItemIndex(0);
    DirectoryListBox1.SetDirectory(FiltersFolder());
    FileListBox1.Update();
    std::vector<std::string> items{kNoSavedFilter};
    for (const std::string& file : FileListBox1.Items()) {
        const std::size_t dot = file.rfind('.');
        items.push_back(dot == std::string::npos ? file : file.substr(0, dot));
    }
    target.SetItems(items);
    target.SetItemIndex(0);
}

void TForm10::ComboBox9Click(ui::TObject*)
{
    const std::string name = ComboBox9.Text();
    // The first item stands for no saved filter; it is never a file name.
    if (ComboBox9.ItemIndex() == 0 || name == kNoSavedFilter)
        return;
    RichEdit1.LoadFromFile(FilterFile(FiltersFolder(), name));
    SetCriteria(catalogue::ParseFilterRecordLine(RichEdit1.Text()));
}

bool TForm10::WriteFilter(const std::string& name)
{
    RichEdit1.SetText(catalogue::FilterRecordLine(Criteria()));
    const sys::Status status =
        sys::WriteFileAtomically(FilterFile(FiltersFolder(), name), ui::TextToRtf(RichEdit1.Text()), 0644);
    if (!status) {
        ui::MessageBox(nullptr, "Filtr se nepodařilo uložit.\n" + status.message, "Uložení filtru",
                       ui::MB_OK | ui::MB_ICONERROR);
        return false;
    }
    return true;
}

void TForm10::RefillMainList()
{
    try {
        ListSavedFilters(Form1->ComboBox11);
    } catch (const std::exception& error) {
        ui::MessageBox(nullptr, error.what(), "Uložené filtry", ui::MB_OK | ui::MB_ICONERROR);
    }
}

// Saves the form under `name`. An existing entry other than the selected one (or any existing
// entry when askWhenSelected) is overwritten only after the librarian agrees.
void TForm10::SaveUnder(const std::string& name, bool askWhenSelected)
{
    if (!catalogue::IsValidFilterName(name) || sys::SameTextCzech(name, kNoSavedFilter)) {
        ui::MessageBox(nullptr, "Zadaný název filtru není platný!", kNameTitle, ui::MB_OK | ui::MB_ICONWARNING);
        return;
    }
    int found = -1;
    for (int i = 1; i < ComboBox9.Count(); ++i)
        if (sys::SameTextCzech(ComboBox9.Item(i), name)) {
            found = i;
            break;
        }
    if (found < 0) {
        if (!WriteFilter(name))
            return; // not listed: there is no such file
        ComboBox9.AddItem(name);
        ComboBox9.SetItemIndex(ComboBox9.Count() - 1);
    } else if (found == ComboBox9.ItemIndex() && !askWhenSelected) {
        if (!WriteFilter(ComboBox9.Item(found)))
            return;
    } else {
        if (ui::MessageBox(nullptr, "Filtr daného jména již existuje. Přejete si jej přepsat?", "Filtr již existuje",
                           ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES) {
            ComboBox9.SetItemIndex(found);
            if (!WriteFilter(ComboBox9.Item(found)))
                return;
        }
    }
    RefillMainList();
}

void TForm10::BitBtn8Click(ui::TObject*)
{
    std::string name;
    if (ComboBox9.ItemIndex() <= 0) {
        if (!ui::InputQuery(kNameTitle, kNamePrompt, name))
            return;
    } else {
        name = ComboBox9.Text();
    }
    SaveUnder(name, false);
}

void TForm10::BitBtn9Click(ui::TObject*)
{
    std::string name;
    if (!ui::InputQuery(kNameTitle, kNamePrompt, name))
        return;
    SaveUnder(name, true);
}

void TForm10::BitBtn7Click(ui::TObject*)
{
    const int selected = ComboBox9.ItemIndex();
    if (selected <= 0) {
        ui::MessageBox(nullptr, "Žádný filtr není vybraný!", "Není vybraný žádný filtr",
                       ui::MB_OK | ui::MB_ICONWARNING);
        return;
    }
    std::error_code error;
    std::filesystem::remove(FilterFile(FiltersFolder(), ComboBox9.Item(selected)), error);
    if (error) {
        ui::MessageBox(nullptr, "Filtr se nepodařilo vymazat.\n" + error.message(), "Vymazání filtru",
                       ui::MB_OK | ui::MB_ICONERROR);
        return;
    }
    ComboBox9.DeleteItem(selected);
    ComboBox9.SetItemIndex(0);
    ClearCriteria();
    ComboBox8.SetFocus();
    RefillMainList();
}
