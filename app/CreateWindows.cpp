#include "app/CreateWindows.h"

#include "maintenance/ArchivovatVypujcky.h"
#include "maintenance/ExportDatabaze.h"
#include "catalogue/FiltrKnih.h"
#include "app/Hlavni.h"
#include "maintenance/HledaniVArchivu.h"
#include "maintenance/Hledat.h"
#include "maintenance/ImportDatabaze.h"
#include "maintenance/ImportovatData.h"
#include "maintenance/InterruptedRestore.h"
#include "catalogue/KlicovaSlova.h"
#include "app/NabihaciDialog.h"
#include "app/Nastaveni.h"
#include "app/OAplikaci.h"
#include "catalogue/OdebratCtenare.h"
#include "catalogue/PridatCtenare.h"
#include "catalogue/PridatKnihu.h"
#include "catalogue/VyrazeniKnihy.h"
#include "app/ZadaniHesla.h"
#include "maintenance/ZalohovatData.h"
#include "app/ZmenitDatum.h"
#include "platform/ui/Application.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace {

// How to destroy each window created, in the order of creation.
std::vector<std::function<void()>>& Created()
{
    static std::vector<std::function<void()>> created;
    return created;
}

template <class Form>
void CreateForm(Form*& instance)
{
    instance = new Form();
    Created().push_back([&instance] {
        Form* form = instance;
        instance = nullptr;
        delete form;
    });
}

} // namespace

void CreateWindows()
{
    // The data folder is the program's for its whole run; a restore a crash cut short is undone
    // before any table opens.
    TakeProgramFolder(std::filesystem::current_path());
    CreateForm(Form15);
    ui::Application.MainForm = Form15;
    CreateForm(Form13);
    CreateForm(Form14);
    CreateForm(Form8);
    CreateForm(Form6);
    CreateForm(Form1);
    CreateForm(Form2);
    CreateForm(Form3);
    CreateForm(Form4);
    CreateForm(Form5);
    CreateForm(Form7);
    CreateForm(Form9);
    CreateForm(Form10);
    CreateForm(Form16);
    CreateForm(Form17);
    CreateForm(Form18);
    CreateForm(Form12);
    CreateForm(frmExport);
    CreateForm(frmImport);
}

void DestroyWindows()
{
    auto& created = Created();
    while (!created.empty()) {
        auto destroy = std::move(created.back());
        created.pop_back();
        destroy();
    }
    ui::Application.MainForm = nullptr;
}
