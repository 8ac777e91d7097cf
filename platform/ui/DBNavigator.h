#pragma once
// Navigator buttons over a data source: first, prior, next, last, insert, delete, edit, post and
// cancel. Buttons are enabled as the dataset's state allows. Delete asks "Smazat záznam?" unless
// ConfirmDelete is off.

#include "platform/ui/Control.h"
#include "platform/ui/DataSource.h"

#include <QWidget>

#include <array>
#include <set>

class QToolButton;

namespace ui {

enum class TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel };

class TDBNavigator : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent = nullptr, TDataSource* source = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetSource(source); }
    TDataSource* DataSource() const { return link_.Source(); }
    void SetVisibleButtons(const std::set<TNavigateBtn>& buttons);
    bool ButtonVisible(TNavigateBtn button) const;
    bool ButtonEnabled(TNavigateBtn button) const;
    bool ConfirmDelete = true;

    // Presses a button as the user would (nothing when it is hidden or disabled).
    void BtnClick(TNavigateBtn button);
    std::function<void(TObject* Sender, TNavigateBtn Button)> OnClick;

private:
    void UpdateButtons();
    std::array<QToolButton*, 9> buttons_{};
    std::set<TNavigateBtn> visible_;
    TSourceLink link_{[this](data::TDataEvent, const data::TField*) { UpdateButtons(); }};
};

} // namespace ui
