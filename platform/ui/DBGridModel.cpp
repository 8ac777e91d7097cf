#include "platform/ui/DBGridModel.h"

#include "platform/data/ValueText.h"
#include "platform/ui/Application.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Text.h"

#include <cctype>
#include <stdexcept>

namespace ui::detail {

namespace {
constexpr std::size_t kCacheRows = 512;

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
} // namespace

std::string DisplayText(const data::Value& value, data::TFieldType type)
{
    if (data::IsNull(value))
        return {};
    if (const auto* s = std::get_if<std::string>(&value))
        return *s;
    if (const auto* d = std::get_if<data::TDateTime>(&value))
        return type == data::TFieldType::ftDate ? data::FormatDate(*d) : data::FormatDateTime(*d);
    try {
        const data::Value text = data::ConvertValue(value, data::TFieldType::ftMemo, 0);
        if (const auto* s = std::get_if<std::string>(&text))
            return *s;
    } catch (const std::exception&) {
    }
    return {};
}

DBGridModel::DBGridModel(TDBGrid& grid) : grid_(grid) {}

data::TDataSet* DBGridModel::DataSet() const
{
    TDataSource* source = grid_.DataSource();
    if (source == nullptr || !source->Enabled())
        return nullptr;
    data::TDataSet* ds = source->DataSet();
    return ds != nullptr && ds->Active() ? ds : nullptr;
}

bool DBGridModel::Editing() const
{
    data::TDataSet* ds = DataSet();
    return ds != nullptr && (ds->State() == data::TDataSetState::dsEdit || ds->State() == data::TDataSetState::dsInsert);
}

void DBGridModel::Reload()
{
    beginResetModel();
    cache_.clear();
    columns_.clear();
    gridColumn_.clear();
    fieldIndex_.clear();
    storedRows_ = 0;
    randomAccess_ = true;
    data::TDataSet* ds = DataSet();
    static const std::vector<std::unique_ptr<data::TField>> noFields;
    const auto& fields = ds != nullptr ? ds->Fields() : noFields;
    auto fieldAt = [&fields](const std::string& name) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (SameName(fields[i]->FieldName(), name))
                return static_cast<int>(i);
        return -1;
    };
    const auto& given = grid_.Columns();
    if (!given.empty()) {
        for (std::size_t i = 0; i < given.size(); ++i) {
            if (!given[i].Visible)
                continue;
            TColumn c = given[i];
            const int f = fieldAt(c.FieldName);
            if (c.Title.empty())
                c.Title = f >= 0 && !fields[static_cast<std::size_t>(f)]->DisplayLabel.empty()
                              ? fields[static_cast<std::size_t>(f)]->DisplayLabel
                              : c.FieldName;
            columns_.push_back(c);
            gridColumn_.push_back(static_cast<int>(i));
            fieldIndex_.push_back(f);
        }
    } else {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const data::TField& field = *fields[i];
            if (!field.Visible)
                continue;
            TColumn c;
            c.FieldName = field.FieldName();
            c.Title = field.DisplayLabel.empty() ? field.FieldName() : field.DisplayLabel;
            if (field.DisplayWidth > 0)
                c.Width = field.DisplayWidth * 7;
            columns_.push_back(c);
            gridColumn_.push_back(-1);
            fieldIndex_.push_back(static_cast<int>(i));
        }
    }
    if (ds != nullptr) {
        try {
            storedRows_ = std::max(0, ds->RecordCount());
            std::vector<data::Value> probe;
            if (storedRows_ > 0 && !ds->ReadRecordAt(0, probe))
                randomAccess_ = false;
            else if (storedRows_ > 0)
                cache_.emplace(0, std::move(probe));
        } catch (const std::exception&) {
            storedRows_ = 0;
        }
    }
    endResetModel();
}

void DBGridModel::CurrentRowChanged()
{
    const int row = CursorRow();
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)));
}

int DBGridModel::CursorRow() const
{
    data::TDataSet* ds = DataSet();
    if (ds == nullptr)
        return -1;
    if (ds->State() == data::TDataSetState::dsInsert)
        return randomAccess_ ? storedRows_ : 0;
    if (ds->IsEmpty())
        return -1;
    if (!randomAccess_)
        return 0;
    const int recNo = ds->RecNo();
    return recNo >= 1 && recNo <= storedRows_ ? recNo - 1 : -1;
}

int DBGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || DataSet() == nullptr)
        return 0;
    const bool inserting = DataSet()->State() == data::TDataSetState::dsInsert;
    if (!randomAccess_)
        return storedRows_ > 0 || inserting ? 1 : 0;
    return storedRows_ + (inserting ? 1 : 0);
}

int DBGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

data::TField* DBGridModel::ColumnField(int column) const
{
    data::TDataSet* ds = DataSet();
    if (ds == nullptr || column < 0 || column >= static_cast<int>(fieldIndex_.size()))
        return nullptr;
    const int f = fieldIndex_[static_cast<std::size_t>(column)];
    if (f < 0 || f >= static_cast<int>(ds->Fields().size()))
        return nullptr;
    return ds->Fields()[static_cast<std::size_t>(f)].get();
}

TColumn& DBGridModel::ShownColumn(int column)
{
    const int g = gridColumn_.at(static_cast<std::size_t>(column));
    if (g >= 0)
        return grid_.columns_.at(static_cast<std::size_t>(g));
    return columns_.at(static_cast<std::size_t>(column));
}

const std::vector<data::Value>* DBGridModel::Row(int row) const
{
    auto it = cache_.find(row);
    if (it != cache_.end())
        return &it->second;
    data::TDataSet* ds = DataSet();
    if (ds == nullptr)
        return nullptr;
    std::vector<data::Value> values;
    try {
        if (!ds->ReadRecordAt(row, values))
            return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
    if (cache_.size() >= kCacheRows)
        cache_.clear();
    return &cache_.emplace(row, std::move(values)).first->second;
}

std::string DBGridModel::CellText(int row, int column) const
{
    data::TField* field = ColumnField(column);
    if (field == nullptr || row < 0 || row >= rowCount())
        return {};
    // The record under the cursor while it is edited, and a dataset without random access, are
    // shown from the fields themselves.
    const bool fromFields = !randomAccess_ || (Editing() && row == CursorRow());
    try {
        if (fromFields)
            return field->AsString();
        const std::vector<data::Value>* values = Row(row);
        const auto f = static_cast<std::size_t>(fieldIndex_[static_cast<std::size_t>(column)]);
        if (values == nullptr || f >= values->size())
            return {};
        return DisplayText((*values)[f], field->DataType());
    } catch (const std::exception&) {
        return {};
    }
}

QVariant DBGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return Q(CellText(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole) {
        switch (columns_[static_cast<std::size_t>(index.column())].Alignment) {
        case TAlignment::taCenter: return QVariant::fromValue(Qt::AlignCenter);
        case TAlignment::taRightJustify: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        case TAlignment::taLeftJustify: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    return {};
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < static_cast<int>(columns_.size()))
        return Q(columns_[static_cast<std::size_t>(section)].Title);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    data::TField* field = ColumnField(index.column());
    if (!grid_.ReadOnly() && field != nullptr && !field->ReadOnly && field->FieldKind() == data::TFieldKind::fkData &&
        field->DataType() != data::TFieldType::ftAutoInc && DataSet() != nullptr && DataSet()->CanModify())
        f |= Qt::ItemIsEditable;
    return f;
}

bool DBGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    data::TDataSet* ds = DataSet();
    data::TField* field = ColumnField(index.column());
    if (ds == nullptr || field == nullptr)
        return false;
    const std::string text = S(value.toString());
    bool ok = Application.RunHandler([&] {
        if (index.row() != CursorRow() && ds->State() != data::TDataSetState::dsInsert)
            ds->SetRecNo(index.row() + 1);
        if (field->AsString() == text && ds->State() == data::TDataSetState::dsBrowse)
            return; // nothing changed
        if (ds->State() == data::TDataSetState::dsBrowse)
            ds->Edit();
        try {
            field->SetAsString(text);
            ds->Post();
        } catch (...) {
            // The value was refused: nothing of the edit stays.
            if (ds->State() == data::TDataSetState::dsEdit || ds->State() == data::TDataSetState::dsInsert)
                ds->Cancel();
            throw;
        }
    });
    return ok;
}

} // namespace ui::detail
