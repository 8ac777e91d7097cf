#pragma once
// The table model behind TDBGrid: rows of the dataset read on demand through ReadRecordAt with a
// small cache; the record being edited or inserted is shown from its fields.

#include "platform/data/DataSet.h"
#include "platform/ui/DBGrid.h"

#include <QAbstractTableModel>

#include <unordered_map>
#include <vector>

namespace ui {

class TDBGrid;

namespace detail {

class DBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DBGridModel(TDBGrid& grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Re-reads the row count, the columns and drops the cache.
    void Reload();
    // The current record's values changed (a field was set while editing).
    void CurrentRowChanged();
    // The row of the dataset's cursor; -1 when there is none.
    int CursorRow() const;
    bool RandomAccess() const { return randomAccess_; }
    // The field shown in a column (nullptr when the dataset lacks it).
    data::TField* ColumnField(int column) const;
    // The column shown at a position: the grid's own column, or one made from a field.
    TColumn& ShownColumn(int column);
    int ShownCount() const { return static_cast<int>(columns_.size()); }
    std::string CellText(int row, int column) const;

private:
    data::TDataSet* DataSet() const;
    bool Editing() const;
    const std::vector<data::Value>* Row(int row) const;

    TDBGrid& grid_;
    std::vector<TColumn> columns_; // the shown columns (copies of the grid's, or made from fields)
    std::vector<int> gridColumn_;  // per shown column: index into the grid's columns, or -1
    std::vector<int> fieldIndex_;  // per shown column: index into the dataset's fields, or -1
    int storedRows_ = 0;           // records that pass the filter
    bool randomAccess_ = true;
    mutable std::unordered_map<int, std::vector<data::Value>> cache_;
};

// Display text of a value as the field would give it.
std::string DisplayText(const data::Value& value, data::TFieldType type);

} // namespace detail
} // namespace ui
