#include "platform/ui/DBGrid.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/DBGridModel.h"
#include "platform/ui/Text.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

TDBGrid::TDBGrid(QWidget* parent, TDataSource* source)
    : QTableView(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)),
      model_(std::make_unique<detail::DBGridModel>(*this))
{
    setModel(model_.get());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAlternatingRowColors(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) { TitleClicked(section); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) { RowActivated(current, previous); });
    connect(this, &QTableView::clicked, this, [this] {
        if (OnCellClick)
            Application.RunHandler([this] { OnCellClick(this); });
    });
    SetDataSource(source);
}

TDBGrid::~TDBGrid()
{
    link_.Unlink();
    setModel(nullptr);
}

void TDBGrid::SetDataSource(TDataSource* source)
{
    link_.SetSource(source);
}

void TDBGrid::SetColumns(const std::vector<TColumn>& columns)
{
    columns_ = columns;
    DataChanged(data::TDataEvent::deLayoutChange, nullptr);
}

TColumn& TDBGrid::AddColumn(const std::string& fieldName, const std::string& title, int width, bool visible)
{
    columns_.emplace_back(fieldName, title, width, visible);
    DataChanged(data::TDataEvent::deLayoutChange, nullptr);
    return columns_.back();
}

void TDBGrid::SetReadOnly(bool on)
{
    readOnly_ = on;
    setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
}

void TDBGrid::DataChanged(data::TDataEvent event, const data::TField*)
{
    // On a page or panel that is hidden (not merely in a window not shown yet), the grid waits.
    if (!isVisibleTo(window())) {
        stale_ = true;
        return;
    }
    if (stale_) {
        Reload();
        return;
    }
    switch (event) {
    case data::TDataEvent::deFieldChange:
        model_->CurrentRowChanged();
        return;
    case data::TDataEvent::deDataSetScroll:
        SyncSelection();
        return;
    default:
        Reload();
        return;
    }
}

void TDBGrid::Reload()
{
    stale_ = false;
    ++syncing_;
    model_->Reload();
    --syncing_;
    ApplyColumnLayout();
    SyncSelection();
}

void TDBGrid::CatchUp() const
{
    if (stale_)
        const_cast<TDBGrid*>(this)->Reload();
}

void TDBGrid::showEvent(QShowEvent* event)
{
    CatchUp();
    QTableView::showEvent(event);
}

void TDBGrid::ApplyColumnLayout()
{
    for (int i = 0; i < model_->ShownCount(); ++i)
        horizontalHeader()->resizeSection(i, model_->ShownColumn(i).Width);
}

void TDBGrid::SyncSelection()
{
    ++syncing_;
    const int row = model_->CursorRow();
    if (row < 0 || row >= model_->rowCount()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex index = model_->index(row, std::clamp(column, 0, std::max(0, model_->columnCount() - 1)));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    --syncing_;
}

void TDBGrid::RowActivated(const QModelIndex& current, const QModelIndex&)
{
    if (syncing_ > 0 || !current.isValid() || DataSource() == nullptr || DataSource()->DataSet() == nullptr)
        return;
    data::TDataSet* ds = DataSource()->DataSet();
    if (!ds->Active() || !model_->RandomAccess() || current.row() == model_->CursorRow())
        return;
    if (ds->State() == data::TDataSetState::dsInsert && current.row() >= model_->rowCount() - 1)
        return;
    Application.RunHandler([&] { ds->SetRecNo(current.row() + 1); });
    // The cursor may not have gone where the user clicked (a refused post): show where it is.
    SyncSelection();
}

void TDBGrid::TitleClicked(int section)
{
    if (section < 0 || section >= model_->ShownCount() || !OnTitleClick)
        return;
    TColumn& column = model_->ShownColumn(section);
    Application.RunHandler([&] { OnTitleClick(this, column); });
}

int TDBGrid::RowCount() const
{
    CatchUp();
    return model_->rowCount();
}

std::vector<std::string> TDBGrid::VisibleTitles() const
{
    CatchUp();
    std::vector<std::string> titles;
    for (int i = 0; i < model_->columnCount(); ++i)
        titles.push_back(S(model_->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString()));
    return titles;
}

std::string TDBGrid::CellText(int row, int shownColumn) const
{
    CatchUp();
    return model_->CellText(row, shownColumn);
}

int TDBGrid::CurrentRow() const
{
    CatchUp();
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

data::TField* TDBGrid::SelectedField() const
{
    CatchUp();
    const QModelIndex index = currentIndex();
    return model_->ColumnField(index.isValid() ? index.column() : 0);
}

void TDBGrid::ClickCell(int row, int shownColumn)
{
    CatchUp();
    if (row < 0) {
        TitleClicked(shownColumn);
        return;
    }
    const QModelIndex index = model_->index(row, shownColumn);
    if (!index.isValid())
        return;
    setFocus(Qt::MouseFocusReason);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (OnCellClick)
        Application.RunHandler([this] { OnCellClick(this); });
}

void TDBGrid::DoubleClickCell(int row, int shownColumn)
{
    CatchUp();
    if (row >= 0)
        ClickCell(row, shownColumn);
    if (OnDblClick)
        Application.RunHandler([this] { OnDblClick(this); });
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (OnDblClick)
        Application.RunHandler([this] { OnDblClick(this); });
}

void TDBGrid::keyPressEvent(QKeyEvent* event)
{
    QTableView::keyPressEvent(event);
}

void TDBGrid::ApplyColors()
{
    PaintInput(*this, Color(), FontColor());
}

} // namespace ui
