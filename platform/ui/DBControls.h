#pragma once
// Read-only data-bound fields: each shows one field of the data source's current record and
// follows the cursor. Nothing is shown when the source has no dataset, the dataset is closed or
// empty, or the field does not exist.

#include "platform/ui/Control.h"
#include "platform/ui/DataSource.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <string>

namespace ui {

class TDBEdit : public QLineEdit, public TControl {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr, TDataSource* source = nullptr, const std::string& field = {});
    void SetDataSource(TDataSource* source) { link_.SetSource(source); }
    TDataSource* DataSource() const { return link_.Source(); }
    std::string DataField() const { return field_; }
    void SetDataField(const std::string& field);
    std::string Text() const;

protected:
    void ApplyColors() override;

private:
    void Refresh();
    std::string field_;
    TSourceLink link_{[this](data::TDataEvent, const data::TField*) { Refresh(); }};
};

// A multi-line read-only view of a text or memo field.
class TDBMemo : public QPlainTextEdit, public TControl {
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr, TDataSource* source = nullptr, const std::string& field = {});
    void SetDataSource(TDataSource* source) { link_.SetSource(source); }
    TDataSource* DataSource() const { return link_.Source(); }
    std::string DataField() const { return field_; }
    void SetDataField(const std::string& field);
    std::string Text() const;

protected:
    void ApplyColors() override;

private:
    void Refresh();
    std::string field_;
    TSourceLink link_{[this](data::TDataEvent, const data::TField*) { Refresh(); }};
};

class TDBRichEdit : public TDBMemo {
    Q_OBJECT
public:
    using TDBMemo::TDBMemo;
};

} // namespace ui
