#include "platform/data/DataSet.h"

#include <algorithm>
#include <cstring>

namespace data {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto low = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return low(x) == low(y);
           });
}

TDataSet::TExceptionHandler& ApplicationHandler()
{
    static TDataSet::TExceptionHandler handler;
    return handler;
}

void Fire(const TDataSetNotifyEvent& event, TDataSet& dataSet)
{
    if (event)
        event(dataSet);
}

} // namespace

// ---- TMemoryStream ----

std::size_t TMemoryStream::Read(char* out, std::size_t count)
{
    const std::size_t n = std::min(count, data_.size() - position_);
    if (n > 0)
        std::memcpy(out, data_.data() + position_, n);
    position_ += n;
    return n;
}

void TMemoryStream::Write(const char* in, std::size_t count)
{
    if (position_ + count > data_.size())
        data_.resize(position_ + count);
    if (count > 0)
        std::memcpy(data_.data() + position_, in, count);
    position_ += count;
}

// ---- TDataSet: opening and closing ----

TDataSet::TDataSet() = default;
TDataSet::~TDataSet() = default;

void TDataSet::SetApplicationExceptionHandler(TExceptionHandler handler)
{
    ApplicationHandler() = std::move(handler);
}

std::string TDataSet::Label() const { return Name.empty() ? std::string() : Name + ": "; }

void TDataSet::CheckActive() const
{
    if (!Active())
        throw EDatabaseError(Label() + "Operaci nelze provést se zavřenou datovou sadou.");
}

void TDataSet::CheckInactive() const
{
    if (Active())
        throw EDatabaseError(Label() + "Operaci nelze provést s otevřenou datovou sadou.");
}

void TDataSet::CheckCanModify() const
{
    if (!CanModify())
        throw EDatabaseError(Label() + "Datovou sadu nelze měnit, je určena jen pro čtení.");
}

void TDataSet::SetActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Open()
{
    if (Active())
        return;
    Fire(BeforeOpen, *this);
    defaultFields_ = fields_.empty();
    try {
        InternalOpen();
        if (defaultFields_)
            CreateFieldsFromDefs();
        BindFields();
        activeBuffer_ = AllocRecordBuffer();
        scratchBuffer_ = AllocRecordBuffer();
    } catch (...) {
        try {
            if (IsCursorOpen())
                InternalClose();
        } catch (...) {
        }
        if (defaultFields_)
            fields_.clear();
        activeBuffer_.reset();
        scratchBuffer_.reset();
        throw;
    }
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    InternalFirst();
    if (StepRecord(TGetMode::gmNext)) {
        bof_ = true;
        eof_ = false;
    } else {
        SetEmpty();
    }
    DataEvent(TDataEvent::deLayoutChange);
    DataEvent(TDataEvent::deUpdateState);
    Fire(AfterOpen, *this);
    Fire(AfterScroll, *this);
}

void TDataSet::Close()
{
    if (!Active())
        return;
    Fire(BeforeClose, *this);
    // A pending edit is saved; if saving fails the edit is dropped, the dataset still closes and
    // the failure is reported.
    std::exception_ptr failure;
    try {
        CheckBrowseMode();
    } catch (...) {
        failure = std::current_exception();
        try {
            Cancel();
        } catch (...) {
        }
    }
    InternalClose();
    activeBuffer_.reset();
    savedBuffer_.reset();
    scratchBuffer_.reset();
    calcValues_.clear();
    if (defaultFields_)
        fields_.clear();
    state_ = TDataSetState::dsInactive;
    eof_ = bof_ = true;
    recordValid_ = false;
    modified_ = false;
    DataEvent(TDataEvent::deLayoutChange);
    DataEvent(TDataEvent::deUpdateState);
    Fire(AfterClose, *this);
    if (failure)
        std::rethrow_exception(failure);
}

void TDataSet::CreateFieldsFromDefs()
{
    fields_.clear();
    for (const auto& def : fieldDefs_.Items()) {
        auto field = std::make_unique<TField>(*this, def.Name, def.DataType, def.Size, TFieldKind::fkData);
        field->Required = def.Required;
        fields_.push_back(std::move(field));
    }
}

void TDataSet::BindFields()
{
    for (auto& field : fields_) {
        if (field->kind_ != TFieldKind::fkData) {
            field->fieldNo_ = 0;
            continue;
        }
        const TFieldDef* def = fieldDefs_.Find(field->name_);
        if (def == nullptr)
            throw EDatabaseError(Label() + "Pole '" + field->name_ + "' nebylo nalezeno.");
        field->fieldNo_ = def->FieldNo;
    }
}

// ---- Fields ----

TField* TDataSet::FindField(std::string_view name) const
{
    for (const auto& field : fields_)
        if (EqualNoCase(field->FieldName(), name))
            return field.get();
    return nullptr;
}

TField& TDataSet::FieldByName(std::string_view name) const
{
    if (TField* field = FindField(name))
        return *field;
    throw EDatabaseError(Label() + "Pole '" + std::string(name) + "' nebylo nalezeno.");
}

TField& TDataSet::AddField(const std::string& name, TFieldType type, int size)
{
    CheckInactive();
    fields_.push_back(std::make_unique<TField>(*this, name, type, size, TFieldKind::fkData));
    defaultFields_ = false;
    return *fields_.back();
}

TField& TDataSet::AddLookupField(const std::string& name, int size, const std::string& keyFields,
                                 TDataSet* lookupDataSet, const std::string& lookupKeyFields,
                                 const std::string& lookupResultField)
{
    CheckInactive();
    auto field = std::make_unique<TField>(*this, name, TFieldType::ftString, size, TFieldKind::fkLookup);
    field->KeyFields = keyFields;
    field->LookupDataSet = lookupDataSet;
    field->LookupKeyFields = lookupKeyFields;
    field->LookupResultField = lookupResultField;
    fields_.push_back(std::move(field));
    defaultFields_ = false;
    return *fields_.back();
}

Value TDataSet::GetCalcValue(const TField& field) const
{
    for (const auto& [f, v] : calcValues_)
        if (f == &field)
            return v;
    return std::monostate{};
}

void TDataSet::SetCalcValue(const TField& field, Value value)
{
    for (auto& [f, v] : calcValues_)
        if (f == &field) {
            v = std::move(value);
            return;
        }
    calcValues_.emplace_back(&field, std::move(value));
}

void TDataSet::GetCalcFields(TRecordBuffer& buffer)
{
    if (&buffer == activeBuffer_.get())
        CalculateFields();
}

void TDataSet::CalculateFields()
{
    calcValues_.clear();
    if (!OnCalcFields)
        return;
    const bool any = std::any_of(fields_.begin(), fields_.end(),
                                 [](const auto& f) { return f->FieldKind() == TFieldKind::fkCalculated; });
    if (!any)
        return;
    const TDataSetState previous = state_;
    state_ = TDataSetState::dsCalcFields;
    try {
        OnCalcFields(*this);
    } catch (...) {
        state_ = previous;
        throw;
    }
    state_ = previous;
}

// ---- Navigation ----

bool TDataSet::IsEmpty() const
{
    return !Active() || (state_ != TDataSetState::dsInsert && !recordValid_);
}

void TDataSet::UpdateCursorPos()
{
    if (recordValid_ && state_ != TDataSetState::dsInsert)
        InternalSetToRecord(*activeBuffer_);
}

bool TDataSet::StepRecord(TGetMode mode)
{
    if (GetRecord(*scratchBuffer_, mode, true) != TGetResult::grOK)
        return false;
    std::swap(activeBuffer_, scratchBuffer_);
    recordValid_ = true;
    CalculateFields();
    return true;
}

void TDataSet::SetEmpty()
{
    recordValid_ = false;
    eof_ = bof_ = true;
    calcValues_.clear();
}

void TDataSet::ResyncAfterChange()
{
    for (TGetMode mode : {TGetMode::gmCurrent, TGetMode::gmNext, TGetMode::gmPrior}) {
        if (GetRecord(*scratchBuffer_, mode, false) == TGetResult::grOK) {
            std::swap(activeBuffer_, scratchBuffer_);
            recordValid_ = true;
            eof_ = bof_ = false;
            CalculateFields();
            return;
        }
    }
    SetEmpty();
}

void TDataSet::Resync()
{
    CheckActive();
    ResyncAfterChange();
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::ClearBuffers()
{
    recordValid_ = false;
    calcValues_.clear();
}

void TDataSet::First()
{
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll, *this);
    InternalFirst();
    if (StepRecord(TGetMode::gmNext)) {
        bof_ = true;
        eof_ = false;
    } else {
        SetEmpty();
    }
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterScroll, *this);
}

void TDataSet::Last()
{
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll, *this);
    InternalLast();
    if (StepRecord(TGetMode::gmPrior)) {
        eof_ = true;
        bof_ = false;
    } else {
        SetEmpty();
    }
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterScroll, *this);
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance)
{
    CheckActive();
    CheckBrowseMode();
    if ((distance > 0 && eof_) || (distance < 0 && bof_) || distance == 0)
        return 0;
    Fire(BeforeScroll, *this);
    int moved = 0;
    if (!recordValid_) {
        SetEmpty();
    } else {
        UpdateCursorPos();
        for (; distance > 0; --distance) {
            if (!StepRecord(TGetMode::gmNext)) {
                eof_ = true;
                break;
            }
            ++moved;
            bof_ = false;
        }
        for (; distance < 0; ++distance) {
            if (!StepRecord(TGetMode::gmPrior)) {
                bof_ = true;
                break;
            }
            --moved;
            eof_ = false;
        }
    }
    DataEvent(TDataEvent::deDataSetScroll);
    Fire(AfterScroll, *this);
    return moved;
}

int TDataSet::RecordCount()
{
    CheckActive();
    return GetRecordCount();
}

int TDataSet::RecNo()
{
    if (!Active() || state_ == TDataSetState::dsInsert)
        return -1;
    UpdateCursorPos();
    return GetRecNo();
}

void TDataSet::SetRecNo(int recNo)
{
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll, *this);
    SetRecNoInternal(recNo);
    ResyncAfterChange();
    DataEvent(TDataEvent::deDataSetScroll);
    Fire(AfterScroll, *this);
}

// ---- Editing ----

void TDataSet::Edit()
{
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)
        return;
    if (!recordValid_) {
        Insert();
        return;
    }
    CheckCanModify();
    Fire(BeforeEdit, *this);
    UpdateCursorPos();
    InternalEdit();
    modified_ = false;
    SetState(TDataSetState::dsEdit);
    DataEvent(TDataEvent::deRecordChange);
    Fire(AfterEdit, *this);
}

void TDataSet::Insert() { BeginInsert(false); }

void TDataSet::Append() { BeginInsert(true); }

void TDataSet::BeginInsert(bool append)
{
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert, *this);
    Fire(BeforeScroll, *this);
    UpdateCursorPos();
    auto fresh = AllocRecordBuffer();
    InternalInitRecord(*fresh);
    SetBookmarkFlag(*fresh, append ? TBookmarkFlag::bfEOF : TBookmarkFlag::bfInserted);
    if (append)
        InternalLast();
    savedBuffer_ = std::move(activeBuffer_);
    activeBuffer_ = std::move(fresh);
    calcValues_.clear();
    try {
        InternalInsert();
    } catch (...) {
        activeBuffer_ = std::move(savedBuffer_);
        throw;
    }
    SetState(TDataSetState::dsInsert);
    try {
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        Cancel();
        throw;
    }
    modified_ = false;
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterInsert, *this);
    Fire(AfterScroll, *this);
}

void TDataSet::Post()
{
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        return;
    Fire(BeforePost, *this);
    const bool editing = state_ == TDataSetState::dsEdit;
    InternalPost(); // on failure the record stays in edit or insert
    savedBuffer_.reset();
    modified_ = false;
    SetState(TDataSetState::dsBrowse);
    if (editing && PostedInPlace()) {
        recordValid_ = true;
        eof_ = bof_ = false;
        CalculateFields();
    } else {
        ResyncAfterChange();
    }
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterPost, *this);
}

void TDataSet::Cancel()
{
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        return;
    Fire(BeforeCancel, *this);
    const bool inserting = state_ == TDataSetState::dsInsert;
    InternalCancel();
    if (inserting) {
        activeBuffer_ = std::move(savedBuffer_);
        if (!activeBuffer_)
            activeBuffer_ = AllocRecordBuffer();
    }
    modified_ = false;
    SetState(TDataSetState::dsBrowse);
    if (recordValid_) {
        UpdateCursorPos();
        ResyncAfterChange();
    } else {
        SetEmpty();
    }
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterCancel, *this);
}

void TDataSet::CancelUnchangedInsert()
{
    if (state_ == TDataSetState::dsInsert && !modified_)
        Cancel();
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    CancelUnchangedInsert();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)
        Post();
}

void TDataSet::Delete()
{
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (!recordValid_)
        throw EDatabaseError(Label() + "Operaci nelze provést s prázdnou datovou sadou.");
    CheckCanModify();
    Fire(BeforeDelete, *this);
    Fire(BeforeScroll, *this);
    UpdateCursorPos();
    InternalDelete();
    modified_ = false;
    SetState(TDataSetState::dsBrowse);
    ResyncAfterChange();
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterDelete, *this);
    Fire(AfterScroll, *this);
}

void TDataSet::Refresh()
{
    CheckActive();
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    ResyncAfterChange();
    DataEvent(TDataEvent::deDataSetChange);
}

// ---- Filtering ----

void TDataSet::SetFilter(const std::string& text)
{
    if (!Active()) {
        filterText_ = text;
        return;
    }
    CheckBrowseMode();
    if (filtered_) {
        std::string previous = filterText_;
        filterText_ = text;
        try {
            FilterChanged();
        } catch (...) {
            // A text that cannot be used changes nothing.
            filterText_ = std::move(previous);
            try {
                FilterChanged();
            } catch (...) {
            }
            throw;
        }
    } else {
        filterText_ = text;
    }
    First();
}

void TDataSet::SetFiltered(bool on)
{
    if (!Active()) {
        filtered_ = on;
        return;
    }
    CheckBrowseMode();
    const bool previous = filtered_;
    filtered_ = on;
    try {
        FilterChanged();
    } catch (...) {
        filtered_ = previous;
        try {
            FilterChanged();
        } catch (...) {
        }
        throw;
    }
    First();
}

// ---- Bookmarks ----

TBookmark TDataSet::GetBookmark()
{
    if (!Active() || !recordValid_ || state_ == TDataSetState::dsInsert)
        return {};
    return GetBookmarkData(*activeBuffer_);
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckActive();
    if (bookmark.empty())
        return;
    CheckBrowseMode();
    Fire(BeforeScroll, *this);
    InternalGotoBookmark(bookmark);
    ResyncAfterChange();
    DataEvent(TDataEvent::deDataSetScroll);
    Fire(AfterScroll, *this);
}

bool TDataSet::BookmarkValid(const TBookmark& /*bookmark*/) { return false; }

// ---- Notifications ----

int TDataSet::AddObserver(TDataObserver observer)
{
    const int id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void TDataSet::RemoveObserver(int id)
{
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls()
{
    if (disableCount_ == 0)
        return;
    if (--disableCount_ == 0 && pendingChange_) {
        pendingChange_ = false;
        DataEvent(TDataEvent::deUpdateState);
        DataEvent(TDataEvent::deDataSetChange);
    }
}

void TDataSet::GetFieldText(const TField& field, std::string& text)
{
    field.TextOfValue(text);
}

void TDataSet::DataEvent(TDataEvent event, const TField* field)
{
    if (disableCount_ > 0) {
        pendingChange_ = true;
        return;
    }
    if (observers_.empty())
        return;
    // A copy, so an observer may add or remove observers while being told.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers)
        if (observer)
            observer(event, field);
}

void TDataSet::SetState(TDataSetState state)
{
    if (state_ == state)
        return;
    const auto transient = [](TDataSetState s) {
        return s == TDataSetState::dsFilter || s == TDataSetState::dsCalcFields;
    };
    const bool notify = !transient(state_) && !transient(state);
    state_ = state;
    if (notify)
        DataEvent(TDataEvent::deUpdateState);
}

// ---- Defaults of the optional protocol ----

bool TDataSet::ReadRecordAt(int /*position*/, std::vector<Value>& /*values*/) { return false; }

Value TDataSet::LookupValue(const std::string& /*keyField*/, const Value& /*key*/,
                            const std::string& /*resultField*/)
{
    return std::monostate{};
}

std::unique_ptr<TMemoryStream> TDataSet::CreateBlobStream(TField& field, TBlobStreamMode mode)
{
    auto stream = std::make_unique<TMemoryStream>();
    if (mode != TBlobStreamMode::bmWrite && Active()) {
        Value v;
        if (GetFieldData(field, &v))
            if (const auto* s = std::get_if<std::string>(&v))
                stream->Data() = *s;
    }
    return stream;
}

void TDataSet::InternalHandleException()
{
    const std::exception_ptr current = std::current_exception();
    if (!current)
        return;
    if (ApplicationHandler())
        ApplicationHandler()(current);
    else
        std::rethrow_exception(current);
}

} // namespace data
