#include "platform/data/Field.h"

#include "platform/data/DataSet.h"
#include "platform/data/ValueText.h"

#include <cmath>

namespace data {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool IsIntegerType(TFieldType t)
{
    return t == TFieldType::ftSmallint || t == TFieldType::ftInteger || t == TFieldType::ftLargeint ||
           t == TFieldType::ftAutoInc;
}

bool IsTextType(TFieldType t) { return t == TFieldType::ftString || t == TFieldType::ftMemo; }

// Keeps the first `chars` UTF-8 characters.
std::string TruncateChars(std::string text, int chars)
{
    text.resize(TextPrefixLength(text, chars));
    return text;
}

// `text` is the value as given, or null for a number (then written out only for the message).
std::int64_t RangeCheck(std::int64_t v, TFieldType t, const std::string* text)
{
    const bool ok = t == TFieldType::ftSmallint ? (v >= -32768 && v <= 32767)
                    : t == TFieldType::ftInteger ? (v >= INT32_MIN && v <= INT32_MAX)
                                                 : true;
    if (!ok)
        throw EConvertError("Hodnota '" + (text != nullptr ? *text : FormatInteger(v)) + "' je mimo povolený rozsah.");
    return v;
}

// True when ConvertValue(v, type) would give v unchanged, so it need not be asked.
bool HasKindOf(const Value& v, TFieldType type)
{
    if (data::IsNull(v))
        return true;
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
        return std::holds_alternative<std::string>(v);
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger: {
        const auto* n = std::get_if<std::int64_t>(&v);
        const std::int64_t low = type == TFieldType::ftSmallint ? -32768 : INT32_MIN;
        const std::int64_t high = type == TFieldType::ftSmallint ? 32767 : INT32_MAX;
        return n != nullptr && *n >= low && *n <= high;
    }
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc:
        return std::holds_alternative<std::int64_t>(v);
    case TFieldType::ftBoolean:
        return std::holds_alternative<bool>(v);
    case TFieldType::ftFloat:
        return std::holds_alternative<double>(v);
    case TFieldType::ftCurrency:
        return std::holds_alternative<TCurrency>(v);
    case TFieldType::ftDateTime:
        return std::holds_alternative<TDateTime>(v);
    case TFieldType::ftDate: {
        const auto* d = std::get_if<TDateTime>(&v);
        return d != nullptr && std::trunc(d->days) == d->days;
    }
    default:
        return false;
    }
}

} // namespace

std::size_t TextPrefixLength(std::string_view text, int chars)
{
    if (chars <= 0)
        return text.size();
    std::size_t i = 0;
    int count = 0;
    while (i < text.size()) {
        if (count == chars)
            return i;
        const auto c = static_cast<unsigned char>(text[i]);
        i += c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
        ++count;
    }
    return text.size();
}

// ---- TFieldDefs ----

TFieldDef& TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required)
{
    TFieldDef def;
    def.Name = name;
    def.DataType = type;
    def.Size = size;
    def.Required = required;
    def.FieldNo = Count() + 1;
    defs_.push_back(def);
    return defs_.back();
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const
{
    for (const auto& d : defs_)
        if (EqualNoCase(d.Name, name))
            return &d;
    return nullptr;
}

// ---- Conversions between the value kinds, to a field's type ----

// Converts any value to the canonical kind of a field type; throws EConvertError.
Value ConvertValue(const Value& v, TFieldType type, int size)
{
    if (data::IsNull(v))
        return v;
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (IsTextType(type))
            return type == TFieldType::ftString ? Value{TruncateChars(*s, size)} : Value{*s};
        if (s->empty())
            return std::monostate{};
        if (IsIntegerType(type)) {
            auto n = ParseInteger(*s);
            if (!n)
                throw EConvertError("'" + *s + "' není platné celé číslo.");
            return RangeCheck(*n, type, s);
        }
        switch (type) {
        case TFieldType::ftBoolean: {
            auto b = ParseBoolean(*s);
            if (!b)
                throw EConvertError("'" + *s + "' není platná logická hodnota.");
            return *b;
        }
        case TFieldType::ftFloat: {
            auto f = ParseFloat(*s);
            if (!f)
                throw EConvertError("'" + *s + "' není platné číslo.");
            return *f;
        }
        case TFieldType::ftCurrency: {
            auto c = ParseCurrency(*s);
            if (!c)
                throw EConvertError("'" + *s + "' není platná peněžní částka.");
            return *c;
        }
        case TFieldType::ftDate: {
            auto d = ParseDate(*s);
            if (!d)
                throw EConvertError("'" + *s + "' není platné datum.");
            return *d;
        }
        case TFieldType::ftDateTime: {
            auto d = ParseDateTime(*s);
            if (!d)
                throw EConvertError("'" + *s + "' není platné datum a čas.");
            return *d;
        }
        default:
            return v;
        }
    }
    if (IsTextType(type)) {
        std::string text;
        if (const auto* i = std::get_if<std::int64_t>(&v))
            text = FormatInteger(*i);
        else if (const auto* b = std::get_if<bool>(&v))
            text = *b ? "True" : "False";
        else if (const auto* f = std::get_if<double>(&v))
            text = FormatFloat(*f);
        else if (const auto* d = std::get_if<TDateTime>(&v))
            text = FormatDateTime(*d);
        else if (const auto* c = std::get_if<TCurrency>(&v))
            text = FormatCurrency(*c);
        return type == TFieldType::ftString ? TruncateChars(text, size) : text;
    }
    if (IsIntegerType(type)) {
        std::int64_t n = 0;
        if (const auto* i = std::get_if<std::int64_t>(&v))
            n = *i;
        else if (const auto* b = std::get_if<bool>(&v))
            n = *b ? 1 : 0;
        else if (const auto* f = std::get_if<double>(&v))
            n = std::llround(*f);
        else if (const auto* c = std::get_if<TCurrency>(&v))
            n = std::llround(static_cast<double>(c->units) / 10000.0);
        else if (const auto* d = std::get_if<TDateTime>(&v))
            n = static_cast<std::int64_t>(std::trunc(d->days));
        return RangeCheck(n, type, nullptr);
    }
    switch (type) {
    case TFieldType::ftBoolean:
        if (const auto* b = std::get_if<bool>(&v))
            return *b;
        if (const auto* i = std::get_if<std::int64_t>(&v))
            return *i != 0;
        throw EConvertError("Hodnotu nelze převést na logickou hodnotu.");
    case TFieldType::ftFloat:
        if (const auto* f = std::get_if<double>(&v))
            return *f;
        if (const auto* i = std::get_if<std::int64_t>(&v))
            return static_cast<double>(*i);
        if (const auto* c = std::get_if<TCurrency>(&v))
            return static_cast<double>(c->units) / 10000.0;
        if (const auto* d = std::get_if<TDateTime>(&v))
            return d->days;
        throw EConvertError("Hodnotu nelze převést na číslo.");
    case TFieldType::ftCurrency:
        if (const auto* c = std::get_if<TCurrency>(&v))
            return *c;
        if (const auto* i = std::get_if<std::int64_t>(&v))
            return TCurrency{*i * 10000};
        if (const auto* f = std::get_if<double>(&v))
            return TCurrency{std::llround(*f * 10000.0)};
        throw EConvertError("Hodnotu nelze převést na peněžní částku.");
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: {
        TDateTime d;
        if (const auto* dt = std::get_if<TDateTime>(&v))
            d = *dt;
        else if (const auto* i = std::get_if<std::int64_t>(&v))
            d = TDateTime{static_cast<double>(*i)};
        else if (const auto* f = std::get_if<double>(&v))
            d = TDateTime{*f};
        else
            throw EConvertError("Hodnotu nelze převést na datum.");
        if (type == TFieldType::ftDate)
            d.days = std::trunc(d.days);
        return d;
    }
    default:
        return v;
    }
}

// ---- TField ----

TField::TField(TDataSet& dataSet, std::string name, TFieldType type, int size, TFieldKind kind)
    : dataSet_(&dataSet), name_(std::move(name)), type_(type), size_(size), kind_(kind)
{
    ReadOnly = type == TFieldType::ftAutoInc || kind == TFieldKind::fkLookup;
}

Value TField::AsValue() const
{
    Value v;
    switch (kind_) {
    case TFieldKind::fkData:
        if (!dataSet_->GetFieldData(*this, &v))
            v = std::monostate{};
        break;
    case TFieldKind::fkCalculated:
        v = dataSet_->GetCalcValue(*this);
        break;
    case TFieldKind::fkLookup: {
        if (LookupDataSet == nullptr)
            return std::monostate{};
        const TField* key = dataSet_->FindField(KeyFields);
        if (key == nullptr)
            return std::monostate{};
        Value k = key->AsValue();
        if (data::IsNull(k))
            return std::monostate{};
        v = LookupDataSet->LookupValue(LookupKeyFields, k, LookupResultField);
        break;
    }
    }
    if (HasKindOf(v, type_))
        return v;
    return ConvertValue(v, type_, 0);
}

void TField::SetValue(const Value& value)
{
    if (kind_ == TFieldKind::fkLookup)
        throw EDatabaseError("Pole '" + name_ + "' nelze měnit.");
    if (kind_ == TFieldKind::fkCalculated) {
        if (dataSet_->State() != TDataSetState::dsCalcFields)
            throw EDatabaseError("Pole '" + name_ + "' nelze měnit.");
        dataSet_->SetCalcValue(*this, ConvertValue(value, type_, size_));
        return;
    }
    const auto state = dataSet_->State();
    if (state != TDataSetState::dsEdit && state != TDataSetState::dsInsert)
        throw EDatabaseError(DataSetLabel() + "Datová sada není v režimu úprav ani vkládání.");
    if (ReadOnly)
        throw EDatabaseError("Pole '" + name_ + "' nelze měnit.");
    Value converted = ConvertValue(value, type_, size_);
    dataSet_->SetFieldData(*this, converted);
    dataSet_->modified_ = true;
}

std::string TField::DataSetLabel() const
{
    return dataSet_->Name.empty() ? std::string() : dataSet_->Name + ": ";
}

std::string TField::AsString() const
{
    std::string text;
    GetAsString(text);
    return text;
}

void TField::GetAsString(std::string& out) const
{
    // A stored field's dataset may give the text without building the value.
    if (kind_ == TFieldKind::fkData)
        return dataSet_->GetFieldText(*this, out);
    TextOfValue(out);
}

void TField::TextOfValue(std::string& out) const
{
    if (kind_ == TFieldKind::fkData && type_ == TFieldType::ftMemo) {
        auto stream = dataSet_->CreateBlobStream(const_cast<TField&>(*this), TBlobStreamMode::bmRead);
        if (stream)
            out = std::move(stream->Data());
        else
            out.clear();
        return;
    }
    Value v = AsValue();
    if (auto* s = std::get_if<std::string>(&v))
        out = std::move(*s);
    else
        ValueText(v, type_, out);
}

void ValueText(const Value& value, TFieldType type, std::string& out)
{
    if (const auto* s = std::get_if<std::string>(&value))
        out = *s;
    else if (data::IsNull(value))
        out.clear();
    else if (const auto* d = std::get_if<TDateTime>(&value))
        out = type == TFieldType::ftDate ? FormatDate(*d) : FormatDateTime(*d);
    else
        out = std::get<std::string>(ConvertValue(value, TFieldType::ftMemo, 0));
}

void TField::SetAsString(std::string_view text)
{
    if (text.empty() && !IsTextType(type_)) {
        Clear();
        return;
    }
    SetValue(Value{std::string(text)});
}

std::int64_t TField::AsInteger() const
{
    const Value v = AsValue();
    if (data::IsNull(v))
        return 0;
    if (const auto* n = std::get_if<std::int64_t>(&v))
        return *n;
    return std::get<std::int64_t>(ConvertValue(v, TFieldType::ftLargeint, 0));
}

void TField::SetAsInteger(std::int64_t value) { SetValue(Value{value}); }

bool TField::AsBoolean() const
{
    const Value v = AsValue();
    if (data::IsNull(v))
        return false;
    return std::get<bool>(ConvertValue(v, TFieldType::ftBoolean, 0));
}

void TField::SetAsBoolean(bool value) { SetValue(Value{value}); }

double TField::AsFloat() const
{
    const Value v = AsValue();
    if (data::IsNull(v))
        return 0;
    return std::get<double>(ConvertValue(v, TFieldType::ftFloat, 0));
}

void TField::SetAsFloat(double value) { SetValue(Value{value}); }

TDateTime TField::AsDateTime() const
{
    const Value v = AsValue();
    if (data::IsNull(v))
        return {};
    if (const auto* d = std::get_if<TDateTime>(&v))
        return *d;
    return std::get<TDateTime>(ConvertValue(v, TFieldType::ftDateTime, 0));
}

void TField::SetAsDateTime(TDateTime value) { SetValue(Value{value}); }

TCurrency TField::AsCurrency() const
{
    const Value v = AsValue();
    if (data::IsNull(v))
        return {};
    return std::get<TCurrency>(ConvertValue(v, TFieldType::ftCurrency, 0));
}

void TField::SetAsCurrency(TCurrency value) { SetValue(Value{value}); }

bool TField::IsNull() const { return data::IsNull(AsValue()); }

void TField::Clear() { SetValue(Value{}); }

} // namespace data
