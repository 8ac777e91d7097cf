#include "maintenance/InterruptedRestore.h"

#include "platform/data/Session.h"
#include "platform/data/TableReplacement.h"
#include "platform/ui/Dialogs.h"

void TakeProgramFolder(const std::filesystem::path& folder)
{
    data::Session::Instance().HoldFolder(folder);
    const data::TReplacementRecovery recovery = data::RecoverTableReplacement(folder);
    const std::string title = recovery.purpose.empty() ? std::string("Obnovení dat") : recovery.purpose;
    if (recovery.outcome == data::TReplacementRecovery::PutBack)
        ui::MessageBox(nullptr,
                       title + " při minulém běhu programu nebylo dokončeno. Tabulky byly vráceny do stavu, v jakém "
                               "byly před ním.",
                       title, ui::MB_OK | ui::MB_ICONWARNING);
    else if (recovery.outcome == data::TReplacementRecovery::Finished)
        ui::MessageBox(nullptr,
                       title + " při minulém běhu programu skončilo, ale nestihlo po sobě uklidit. Nová data zůstávají "
                               "platná; odložené původní tabulky byly odstraněny.",
                       title, ui::MB_OK | ui::MB_ICONINFORMATION);
}
