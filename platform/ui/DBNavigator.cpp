#include "platform/ui/DBNavigator.h"

#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/Text.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace ui {

namespace {
constexpr std::array<TNavigateBtn, 9> kAll{TNavigateBtn::nbFirst, TNavigateBtn::nbPrior, TNavigateBtn::nbNext,
                                           TNavigateBtn::nbLast,  TNavigateBtn::nbInsert, TNavigateBtn::nbDelete,
                                           TNavigateBtn::nbEdit,  TNavigateBtn::nbPost,  TNavigateBtn::nbCancel};
constexpr const char* kSymbols[] = {"|◀", "◀", "▶", "▶|", "+", "−", "▲", "✓", "✗"};
constexpr const char* kHints[] = {"První záznam",  "Předchozí záznam", "Další záznam",
                                  "Poslední záznam", "Vložit záznam",   "Smazat záznam",
                                  "Upravit záznam", "Uložit změny",     "Zrušit změny"};

std::size_t Slot(TNavigateBtn b)
{
    return static_cast<std::size_t>(b);
}
} // namespace

TDBNavigator::TDBNavigator(QWidget* parent, TDataSource* source)
    : QWidget(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)), visible_(kAll.begin(), kAll.end())
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (TNavigateBtn b : kAll) {
        auto* button = new QToolButton(this);
        button->setText(Q(kSymbols[Slot(b)]));
        button->setToolTip(Q(kHints[Slot(b)]));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, b] { Application.RunHandler([this, b] { BtnClick(b); }); });
        buttons_[Slot(b)] = button;
    }
    resize(240, 25);
    SetDataSource(source);
}

void TDBNavigator::SetVisibleButtons(const std::set<TNavigateBtn>& buttons)
{
    visible_ = buttons;
    for (TNavigateBtn b : kAll)
        buttons_[Slot(b)]->setVisible(visible_.count(b) != 0);
}

bool TDBNavigator::ButtonVisible(TNavigateBtn button) const
{
    return visible_.count(button) != 0;
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn button) const
{
    return buttons_[Slot(button)]->isEnabled();
}

void TDBNavigator::UpdateButtons()
{
    TDataSource* source = DataSource();
    data::TDataSet* ds = source != nullptr && source->Enabled() ? source->DataSet() : nullptr;
    const bool active = ds != nullptr && ds->Active();
    const bool editing = active && (ds->State() == data::TDataSetState::dsEdit || ds->State() == data::TDataSetState::dsInsert);
    const bool canModify = active && ds->CanModify();
    const bool empty = !active || (ds->IsEmpty() && !editing);
    const bool bof = !active || ds->Bof();
    const bool eof = !active || ds->Eof();
    auto set = [this](TNavigateBtn b, bool on) { buttons_[Slot(b)]->setEnabled(on); };
    set(TNavigateBtn::nbFirst, active && (!bof || editing));
    set(TNavigateBtn::nbPrior, active && (!bof || editing));
    set(TNavigateBtn::nbNext, active && (!eof || editing));
    set(TNavigateBtn::nbLast, active && (!eof || editing));
    set(TNavigateBtn::nbInsert, canModify && !editing);
    set(TNavigateBtn::nbDelete, canModify && !empty);
    set(TNavigateBtn::nbEdit, canModify && !editing && !empty);
    set(TNavigateBtn::nbPost, canModify && editing);
    set(TNavigateBtn::nbCancel, canModify && editing);
}

void TDBNavigator::BtnClick(TNavigateBtn button)
{
    UpdateButtons();
    if (!ButtonVisible(button) || !ButtonEnabled(button))
        return;
    data::TDataSet* ds = DataSource()->DataSet();
    switch (button) {
    case TNavigateBtn::nbFirst: ds->First(); break;
    case TNavigateBtn::nbPrior: ds->Prior(); break;
    case TNavigateBtn::nbNext: ds->Next(); break;
    case TNavigateBtn::nbLast: ds->Last(); break;
    case TNavigateBtn::nbInsert: ds->Insert(); break;
    case TNavigateBtn::nbDelete:
        if (ConfirmDelete && MessageBox(ParentForm(), "Smazat záznam?", "Potvrzení", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
        ds->Delete();
        break;
    case TNavigateBtn::nbEdit: ds->Edit(); break;
    case TNavigateBtn::nbPost: ds->Post(); break;
    case TNavigateBtn::nbCancel: ds->Cancel(); break;
    }
    UpdateButtons();
    if (OnClick)
        OnClick(this, button);
}


} // namespace ui
