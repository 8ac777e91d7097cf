#include "platform/data/BulkAppend.h"

#include "platform/data/Field.h"
#include "platform/data/Table.h"

namespace data {

TBulkAppend::TBulkAppend(TTable& table)
    : label_(table.Name.empty() ? std::string() : table.Name + ": ")
{
    if (!table.Active() || !table.HasSource())
        throw EDatabaseError(label_ + "Operaci nelze provést se zavřenou datovou sadou.");
    if (table.ReadOnly)
        throw EDatabaseError(label_ + "Datovou sadu nelze měnit, je určena jen pro čtení.");
    table.CheckBrowseMode();
    file_ = table.SharedFile();
    specs_ = &file_->Schema().fields;
    std::string names, marks;
    for (std::size_t i = 0; i < specs_->size(); ++i) {
        names += (i == 0 ? "" : ", ") + sqlite::QuoteIdent((*specs_)[i].name);
        marks += i == 0 ? "?" : ", ?";
    }
    // The statement a table posting a new record uses: both are reset before each use.
    insert_ = &file_->Cached("INSERT INTO " + file_->Qualified() + " (" + names + ") VALUES (" + marks + ")");
    slots_.resize(specs_->size());
}

TBulkAppend::~TBulkAppend() = default;

int TBulkAppend::FieldIndex(std::string_view name) const
{
    const int index = file_->FieldIndex(name);
    if (index < 0)
        throw EDatabaseError(label_ + "Pole '" + std::string(name) + "' nebylo nalezeno.");
    return index;
}

TBulkAppend::Slot& TBulkAppend::Writable(int field)
{
    const FieldSpec& spec = specs_->at(static_cast<std::size_t>(field));
    if (spec.type == TFieldType::ftAutoInc)
        throw EDatabaseError("Pole '" + spec.name + "' nelze měnit.");
    return slots_[static_cast<std::size_t>(field)];
}

void TBulkAppend::SetText(int field, std::string_view text)
{
    Slot& slot = Writable(field);
    const FieldSpec& spec = (*specs_)[static_cast<std::size_t>(field)];
    if (spec.type == TFieldType::ftString || spec.type == TFieldType::ftMemo) {
        // Stored as given (cut to the field's size), empty texts included; no value is built.
        slot.text.assign(text.substr(0, spec.type == TFieldType::ftString ? TextPrefixLength(text, spec.size)
                                                                            : text.size()));
        slot.kind = Slot::Kind::Text;
        return;
    }
    if (text.empty()) {
        slot.kind = Slot::Kind::Empty;
        return;
    }
    slot.value = ConvertValue(Value{std::string(text)}, spec.type, spec.size);
    slot.kind = Slot::Kind::Converted;
}

void TBulkAppend::SetInteger(int field, std::int64_t value)
{
    Slot& slot = Writable(field);
    const FieldSpec& spec = (*specs_)[static_cast<std::size_t>(field)];
    slot.value = ConvertValue(Value{value}, spec.type, spec.size);
    slot.kind = Slot::Kind::Converted;
}

std::string_view TBulkAppend::Text(int field) const
{
    const Slot& slot = slots_.at(static_cast<std::size_t>(field));
    return slot.kind == Slot::Kind::Text ? std::string_view(slot.text) : std::string_view();
}

std::int64_t TBulkAppend::Append()
{
    sqlite::Statement& insert = *insert_;
    insert.Reset();
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        const int parameter = static_cast<int>(i) + 1;
        if (slot.kind == Slot::Kind::Text)
            insert.BindTextView(parameter, slot.text);
        else if (slot.kind == Slot::Kind::Converted)
            insert.Bind(parameter, slot.value);
        else
            insert.BindNull(parameter);
    }
    try {
        insert.Step();
    } catch (...) {
        insert.Reset();
        throw;
    }
    insert.Reset(); // the texts bound without a copy are let go
    const std::int64_t rowid = sqlite3_last_insert_rowid(file_->Db());
    file_->NoteInserted(rowid);
    for (Slot& slot : slots_)
        slot.kind = Slot::Kind::Empty;
    return rowid;
}

} // namespace data
