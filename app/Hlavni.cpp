// The main window: start-up, showing, tab changes, the Enter key, help and shut-down.

#include "app/Hlavni.h"

#include "app/NabihaciDialog.h"
#include "app/Nastaveni.h"
#include "app/OAplikaci.h"
#include "app/ZmenitDatum.h"
#include "catalogue/PridatCtenare.h"
#include "platform/sys/ProgramFolder.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Shell.h"
#include "platform/sys/ShortDate.h"

#include <filesystem>

TForm1* Form1 = nullptr;

namespace {

const char* const kOpenFailed = "Nepodařilo se otevřít databáze. Aplikace Orbelin Pernoka bude nyní ukončena.";

} // namespace

TForm1::TForm1()
    : ui::TForm("Form1")
{
    SetUpLayout();
    SetUpData();
    SetUpHandlers();
    SetUpMenu();
    SetUpOverviewPage();
    SetUpCodeListPages();

    // The three lists open with the window; a library that cannot be read ends the program.
    try {
        Query1.Open();
        Query2.Open();
        Query3.Open();
    } catch (const std::exception&) {
        OpenFailed = true;
        ui::MessageBox(this, kOpenFailed, "Chyba", ui::MB_OK | ui::MB_ICONERROR);
        ui::Application.Terminate();
        return;
    }
    FormCreate(this);
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::SetUpHandlers()
{
    OnShow = [this](ui::TObject* s) { FormShow(s); };
    OnClose = [this](ui::TObject* s, ui::TCloseAction& a) { FormClose(s, a); };
    TabbedNotebook1.OnClick = [this](ui::TObject* s) { TabbedNotebook1Click(s); };
    Timer2.OnTimer = [this](ui::TObject* s) { Timer2Timer(s); };
    Timer3.OnTimer = [this](ui::TObject* s) { Timer3Timer(s); };
    BitBtn11.OnClick = [this](ui::TObject* s) { BitBtn11Click(s); };
    SpeedButton1.OnClick = [this](ui::TObject* s) { SpeedButton1Click(s); };
    BitBtn29.OnClick = [this](ui::TObject* s) { BitBtn29Click(s); };
    BitBtn4.OnClick = [this](ui::TObject* s) { BitBtn4Click(s); };
    BitBtn23.OnClick = [this](ui::TObject* s) { BitBtn23Click(s); };
    UpDown1.OnClick = [this](ui::TObject* s) { UpDown1Click(s); };
    Edit2.OnEnter = [this](ui::TObject* s) { Edit2Enter(s); };
    Edit2.OnExit = [this](ui::TObject* s) { Edit2Exit(s); };

    ComboBox1.OnChange = [this](ui::TObject* s) { ComboBox1Change(s); };
    ComboBox1.OnKeyUp = [this](ui::TObject* s, ui::Word& k, ui::TShiftState sh) { ComboBox1KeyUp(s, k, sh); };
    Edit1.OnChange = [this](ui::TObject* s) { Edit1Change(s); };
    cbKnihy.OnChange = [this](ui::TObject* s) { cbKnihyChange(s); };
    BitBtn10.OnClick = [this](ui::TObject* s) { BitBtn10Click(s); };
    DBGrid3.OnDblClick = [this](ui::TObject* s) { DBGrid3DblClick(s); };
    Button2.OnClick = [this](ui::TObject* s) { Button2Click(s); };
    BitBtn9.OnClick = [this](ui::TObject* s) { BitBtn9Click(s); };
    BitBtn12.OnClick = [this](ui::TObject* s) { BitBtn12Click(s); };

    // The books page (HlavniKnihy.cpp).
    SetUpBooksPage();
    // The readers page (HlavniCtenari.cpp).
    SetUpReadersPage();

    // The main window sees typed characters before its controls: Enter moves to the next control.
    OnKeyPress = [this](ui::TObject* s, char& k) { FormKeyPress(s, k); };

    ui::EnableFocusColors({&ComboBox1, &Edit1, &cbKnihy});
}

void TForm1::FormCreate(ui::TObject*)
{
    if (Form13 != nullptr)
        Form13->Show();

    Edit2.SetText(sys::FormatShortDate(sys::Today()));
    DaysDate = sys::StrToDate(Edit2.Text());

    SortKod = 1;
    SortNazev = 2;
    SortAutor = 2;
    SortKategorie = 2;
    SortUmisteni = 2;
    SortJmeno = 1;
    SortTrida = 2;
    SortKategorieCtenare = 2;

    Edit13.SetText(sys::ProgramFolder());

    // The program folder is recorded at every start, for the launcher.
    sys::RegistryKey key;
    sys::Status status = key.Open(true);
    if (status)
        status = key.WriteString("Path", Edit13.Text());
    if (!status)
        ui::MessageBox(nullptr, "Nepodařilo se zapsat data do systémového registru!", "Chyba při zápisu do registru",
                       ui::MB_OK | ui::MB_ICONERROR);

    ui::Application.HelpFile = (std::filesystem::path(Edit13.Text()) / "Data" / "Help" / "Nápověda.html").string();
}

void TForm1::FormShow(ui::TObject*)
{
    try {
        for (data::TDataSet* dataSet : {static_cast<data::TDataSet*>(&Table1), static_cast<data::TDataSet*>(&Table2),
                                        static_cast<data::TDataSet*>(&Table3), static_cast<data::TDataSet*>(&Table4),
                                        static_cast<data::TDataSet*>(&Table5), static_cast<data::TDataSet*>(&Table6),
                                        static_cast<data::TDataSet*>(&Table7), static_cast<data::TDataSet*>(&Query1),
                                        static_cast<data::TDataSet*>(&Query2), static_cast<data::TDataSet*>(&Query3)})
            dataSet->Open();
    } catch (const std::exception&) {
        OpenFailed = true;
        ui::MessageBox(this, kOpenFailed, "Chyba", ui::MB_OK | ui::MB_ICONERROR);
        ui::Application.Terminate();
        return;
    }

    Edit2.SetText(sys::FormatShortDate(sys::Today()));
    TabbedNotebook1Click(nullptr);
    Table3.Open();
    if (Form13 != nullptr)
        Form13->Hide();
    Timer3Timer(nullptr);
}

void TForm1::FormClose(ui::TObject*, ui::TCloseAction&)
{
    ui::Application.Terminate();
}

void TForm1::FormKeyPress(ui::TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    SelectNext(ActiveControl(), true, true);
}

void TForm1::TabbedNotebook1Click(ui::TObject*)
{
    ui::ShowBusy(TabbedNotebook1, Label35);
    Panel1.Show();
    Timer2Timer(nullptr);
}

void TForm1::BitBtn11Click(ui::TObject*)
{
    if (ui::Application.MessageBox("Opravdu chcete ukončit program Pernoka?", "Ukončení programu",
                                   ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES)
        ui::Application.Terminate();
}

void TForm1::SpeedButton1Click(ui::TObject*)
{
    WorkText = (std::filesystem::path(Edit13.Text()) / "Data" / "Help" / "Nápověda.html").string();
    std::error_code error;
    if (!std::filesystem::is_regular_file(WorkText, error) || !ui::Dialogs().ShowHelp(WorkText, ""))
        ui::MessageBox(this, "Nepodařilo se najít soubor nápovědy!", "Nápověda nenalezena",
                       ui::MB_OK | ui::MB_ICONWARNING);
}

void TForm1::Orbelin1Click(ui::TObject*)
{
    (void)sys::CurrentShell().OpenUrl(kMakerWebAddress);
}

void TForm1::UpDown1Click(ui::TObject*)
{
    if (Form12 != nullptr)
        Form12->ShowModal();
}

// The desk's "+" beside the reader box adds a reader, who then becomes the desk's chosen reader.
void TForm1::BitBtn9Click(ui::TObject*)
{
    if (Form2 != nullptr)
        Form2->ShowModal();
}

void TForm1::BitBtn29Click(ui::TObject*)
{
    if (Form14 != nullptr)
        Form14->ShowModal();
}

void TForm1::SpeedButton11Click(ui::TObject*)
{
    if (Form16 != nullptr)
        Form16->ShowModal();
}

void TForm1::Edit2Enter(ui::TObject*)
{
    // The date field is read-only, yet it is highlighted like the fields one types into.
    Edit2.SetColor(ui::clInfoBk);
    Edit2.SetFontColor(ui::clBlue);
}

void TForm1::Edit2Exit(ui::TObject*)
{
    Edit2.SetColor(ui::clWhite);
    Edit2.SetFontColor(ui::clBlack);
    std::string error;
    const auto date = sys::ParseShortDate(Edit2.Text(), &error);
    if (!date) {
        ui::MessageBox(this, "Zadané datum je v neplatném formátu.", "Špatně zadané datum",
                       ui::MB_OK | ui::MB_ICONWARNING);
        Edit2.SetFocus();
        return;
    }
    if (*date != DaysDate) {
        Table3.Close();
        Table3.Open();
    }
}
