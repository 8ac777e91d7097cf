#pragma once
// A grid over a dataset. It reads rows lazily (RecordCount and ReadRecordAt, with a small cache),
// so it stays fast with very many records; it is refreshed by the dataset's notifications. The
// current row is the dataset's cursor: clicking a row moves the cursor (SetRecNo) and moving the
// cursor selects the row. A dataset that cannot read rows at random shows its current record only.
//
// Columns: by default every visible field of the dataset, titled by its DisplayLabel (or name).
// With columns given, those in that order; hidden columns exist but are not shown; a column
// without a title shows the field name.
//
// A grid on a hidden page or panel does not follow its dataset; it catches up when it is shown or
// asked what it shows, so a dataset changed many times while its grid is out of sight is read once
// (and a large one not at all until it is looked at).
//
// Read-only by default. An editable grid edits a cell in place through the dataset (Edit,
// SetAsString, Post); a value the field refuses is reported by the application's error display and
// the edit is cancelled.

#include "platform/ui/Control.h"
#include "platform/ui/DataSource.h"

#include <QTableView>

#include <memory>
#include <string>
#include <vector>

namespace ui {

namespace detail {
class DBGridModel;
}

struct TColumn {
    TColumn() = default;
    TColumn(std::string fieldName, std::string title = {}, int width = 64, bool visible = true,
            TAlignment alignment = TAlignment::taLeftJustify)
        : FieldName(std::move(fieldName)), Title(std::move(title)), Width(width), Visible(visible), Alignment(alignment)
    {
    }
    std::string FieldName;
    std::string Title; // "" shows the field name (or the field's DisplayLabel)
    int Width = 64;    // pixels
    bool Visible = true;
    TAlignment Alignment = TAlignment::taLeftJustify;
};

class TDBGrid : public QTableView, public TControl {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr, TDataSource* source = nullptr);
    ~TDBGrid() override;

    TDataSource* DataSource() const { return link_.Source(); }
    void SetDataSource(TDataSource* source);

    void SetColumns(const std::vector<TColumn>& columns);
    const std::vector<TColumn>& Columns() const { return columns_; }
    TColumn& AddColumn(const std::string& fieldName, const std::string& title = {}, int width = 64,
                       bool visible = true);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);

    // What the grid shows (for tests and for code that reads the grid): the shown rows, the
    // titles of the shown columns, a cell's text, and the selected row (-1 when none).
    int RowCount() const;
    std::vector<std::string> VisibleTitles() const;
    std::string CellText(int row, int shownColumn) const;
    int CurrentRow() const;
    // The field of the selected cell's column.
    data::TField* SelectedField() const;

    // Clicks a row and column as the user would (moves the cursor; a title row click is row -1).
    void ClickCell(int row, int shownColumn);
    void DoubleClickCell(int row, int shownColumn);

    std::function<void(TObject* Sender, TColumn& Column)> OnTitleClick;
    TNotifyEvent OnCellClick;

protected:
    void ApplyColors() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class detail::DBGridModel;
    void DataChanged(data::TDataEvent event, const data::TField* field);
    void Reload();
    void CatchUp() const; // reloads when changes were passed over while hidden
    void ApplyColumnLayout();
    void SyncSelection();
    void RowActivated(const QModelIndex& current, const QModelIndex& previous);
    void TitleClicked(int section);

    TSourceLink link_{[this](data::TDataEvent event, const data::TField* field) { DataChanged(event, field); }};
    std::vector<TColumn> columns_;
    bool readOnly_ = true;
    std::unique_ptr<detail::DBGridModel> model_;
    int syncing_ = 0;
    bool stale_ = false; // changes passed over while hidden
};

} // namespace ui
