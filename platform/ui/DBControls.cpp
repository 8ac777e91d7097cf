#include "platform/ui/DBControls.h"

#include "platform/ui/ColorUtil.h"
#include "platform/ui/Text.h"

namespace ui {

namespace {
// The field's text for the current record, or "" when there is nothing to show.
std::string CurrentText(TDataSource* source, const std::string& fieldName)
{
    if (source == nullptr || !source->Enabled() || fieldName.empty())
        return {};
    data::TDataSet* ds = source->DataSet();
    if (ds == nullptr || !ds->Active())
        return {};
    try {
        if (ds->IsEmpty() && ds->State() != data::TDataSetState::dsInsert)
            return {};
        data::TField* field = ds->FindField(fieldName);
        return field != nullptr ? field->AsString() : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

TDBEdit::TDBEdit(QWidget* parent, TDataSource* source, const std::string& field)
    : QLineEdit(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)), field_(field)
{
    setReadOnly(true);
    setFocusPolicy(Qt::ClickFocus);
    SetColor(clBtnFace);
    SetDataSource(source);
}

void TDBEdit::SetDataField(const std::string& field)
{
    field_ = field;
    Refresh();
}

std::string TDBEdit::Text() const
{
    return S(text());
}

void TDBEdit::Refresh()
{
    const QString q = Q(CurrentText(link_.Source(), field_));
    if (q != text()) {
        setText(q);
        setCursorPosition(0);
    }
}

void TDBEdit::ApplyColors()
{
    PaintInput(*this, Color(), FontColor());
}

TDBMemo::TDBMemo(QWidget* parent, TDataSource* source, const std::string& field)
    : QPlainTextEdit(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this)), field_(field)
{
    setReadOnly(true);
    setFocusPolicy(Qt::ClickFocus);
    SetColor(clBtnFace);
    SetDataSource(source);
}

void TDBMemo::SetDataField(const std::string& field)
{
    field_ = field;
    Refresh();
}

std::string TDBMemo::Text() const
{
    return S(toPlainText());
}

void TDBMemo::Refresh()
{
    const QString q = Q(CurrentText(link_.Source(), field_));
    if (q != toPlainText())
        setPlainText(q);
}

void TDBMemo::ApplyColors()
{
    PaintInput(*this, Color(), FontColor());
}

} // namespace ui
