#include "dbase/DBaseTable.h"

#include "dbase/Errors.h"
#include "platform/sys/ProgramFolder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace dbase {

using data::TBlobStreamMode;
using data::TDataSetState;
using data::TFieldType;
using data::TGetMode;
using data::TGetResult;
using data::Value;

namespace fs = std::filesystem;

// A record as stored (deletion flag first) and where it came from.
struct TDBaseTable::TRecBuf : data::TRecordBuffer {
    std::vector<std::uint8_t> bytes;
    std::int32_t recIndex = -1;
    std::int32_t indexPos = -1;
    data::TBookmarkFlag flag = data::TBookmarkFlag::bfCurrent;
};

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::uint32_t RecNoOf(std::int64_t recordIndex) { return static_cast<std::uint32_t>(recordIndex + 1); }

} // namespace

// ---- TMyBlobFile ----

TMyBlobFile::TMyBlobFile(TDBaseTable& dataSet, const data::TField& field, TBlobStreamMode mode)
    : Mode(mode), dataSet_(dataSet), fieldNo_(field.FieldNo()) {
    const TDBaseTable::TRecBuf* rec = dataSet.FieldBuffer();
    if (!rec || fieldNo_ < 1) return;
    MemoBlock = dataSet.MemoBlockOf(rec->bytes.data(), fieldNo_ - 1);
    Data() = dataSet.ReadMemoText(rec->bytes.data(), fieldNo_ - 1, &MemoLength);
    Seek(0);
}

void TMyBlobFile::Flush() {
    if (Mode != TBlobStreamMode::bmWrite || flushed_) return;
    flushed_ = true;
    Truncate();
    if (fieldNo_ < 1 || !dataSet_.Active()) return;
    dataSet_.StoreMemo(dataSet_.Active_().bytes.data(), fieldNo_ - 1, Data());
}

TMyBlobFile::~TMyBlobFile() {
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; callers that must know call Flush first.
    }
}

// ---- TDBaseTable ----

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A cheap hash of a name with letter case ignored: its length and three of its letters.
std::size_t FoldedHash(std::string_view name) {
    if (name.empty()) return 0;
    const auto at = [&](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(Fold(name[i]))); };
    return ((name.size() * 131 + at(0)) * 131 + at(name.size() - 1)) * 131 + at(name.size() / 2);
}

bool EqualFolded(std::string_view folded, std::string_view name) {
    if (folded.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (folded[i] != Fold(name[i])) return false;
    return true;
}

} // namespace

void TDBaseTable::BuildFieldHash() const {
    const auto& fields = Fields();
    std::size_t size = 16;
    while (size < fields.size() * 4) size *= 2;
    fieldHash_.assign(size, {std::string(), nullptr});
    for (const auto& f : fields) {
        const std::string& name = f->FieldName();
        std::string folded(name);
        for (char& c : folded) c = Fold(c);
        std::size_t slot = FoldedHash(name) & (size - 1);
        while (fieldHash_[slot].second) {
            if (fieldHash_[slot].first == folded) break; // the first of equal names wins
            slot = (slot + 1) & (size - 1);
        }
        if (!fieldHash_[slot].second) fieldHash_[slot] = {std::move(folded), f.get()};
    }
    fieldHashCount_ = fields.size();
}

data::TField* TDBaseTable::FindField(std::string_view name) const {
    if (fieldHash_.empty() || fieldHashCount_ != Fields().size()) {
        ClearNameHits();
        BuildFieldHash();
    }
    const std::size_t mask = fieldHash_.size() - 1;
    for (std::size_t slot = FoldedHash(name) & mask; fieldHash_[slot].second; slot = (slot + 1) & mask)
        if (EqualFolded(fieldHash_[slot].first, name)) return fieldHash_[slot].second;
    return nullptr;
}

data::TField& TDBaseTable::FieldByNameSlow(std::string_view name, TNameHit& hit) const {
    data::TField* f = FindField(name);
    if (!f) return data::TDataSet::FieldByName(name); // raises the base's error for a missing field
    if (name.size() <= sizeof hit.bytes) {
        hit.data = name.data();
        hit.size = name.size();
        std::memcpy(hit.bytes, name.data(), name.size());
        hit.field = f;
    }
    return *f;
}

void TDBaseTable::ClearNameHits() const { nameHits_.fill(TNameHit{}); }

TDBaseTable::TDBaseTable() = default;

TDBaseTable::~TDBaseTable() {
    try {
        Close();
    } catch (...) {
    }
}

TDBaseTable::TRecBuf& TDBaseTable::Active_() const { return static_cast<TRecBuf&>(*ActiveBuffer()); }

const TDBaseTable::TRecBuf* TDBaseTable::FieldBuffer() const {
    if (State() == TDataSetState::dsFilter) return filterBuffer_;
    return ActiveBuffer() ? &Active_() : nullptr;
}

std::string TDBaseTable::MemoFileName() const {
    fs::path p(FileName);
    const std::string ext = p.extension().string();
    const bool upper = !ext.empty() && std::all_of(ext.begin() + 1, ext.end(), [](unsigned char c) { return !std::islower(c); });
    fs::path first = p, second = p;
    first.replace_extension(upper ? ".DBT" : ".dbt");
    second.replace_extension(upper ? ".dbt" : ".DBT");
    std::error_code ec;
    if (!fs::exists(first, ec) && fs::exists(second, ec)) return second.string();
    return first.string();
}

void TDBaseTable::_OpenFiles(bool create) {
    std::error_code ec;
    if (!create && !fs::exists(FileName, ec)) {
        try {
            const fs::path other = fs::path(sys::ProgramFolder()) / fs::path(FileName).filename();
            if (!fs::path(FileName).filename().empty() && fs::exists(other, ec)) FileName = other.string();
        } catch (const std::exception&) {
        }
    }
    if (create) {
        dbf_ = std::make_unique<TDBaseFile>(FileName, TOpenMode::Create, OnNotice);
        return; // the memo file is made by CreateTable when a memo field asks for it
    }
    if (!fs::is_regular_file(FileName, ec)) throw EBinaryDataSetError("Open: Table file not found : " + FileName);
    const TOpenMode mode = ReadOnly ? TOpenMode::ReadOnly : TOpenMode::ReadWrite;
    dbf_ = std::make_unique<TDBaseFile>(FileName, mode, OnNotice);
    const std::string memo = MemoFileName();
    if (fs::is_regular_file(memo, ec)) dbt_ = std::make_unique<TDbtFile>(memo, dbf_->Version, mode);
}

void TDBaseTable::_CloseFiles() {
    activeIndex_ = nullptr;
    indexes_.clear();
    indexFiles_.clear();
    dbt_.reset();
    dbf_.reset();
}

void TDBaseTable::InternalInitFieldDefs() {
    FieldDefs().Clear();
    const bool wasOpen = dbf_ != nullptr;
    if (!wasOpen) _OpenFiles(false);
    try {
        dbf_->CreateFieldDefs();
    } catch (...) {
        if (!wasOpen) _CloseFiles();
        throw;
    }
    for (const TMyFieldInfo& f : dbf_->FieldInfos)
        FieldDefs().Add(f.Name, f.FieldType, f.FieldType == TFieldType::ftString ? f.Size : 0, false);
    if (!wasOpen) _CloseFiles();
}

void TDBaseTable::InternalOpen() {
    _OpenFiles(false);
    try {
        InternalInitFieldDefs();
    } catch (...) {
        _CloseFiles();
        throw;
    }
    current_ = -1;
    indexSide_ = TIndexSide::Before;
    cursorOpen_ = true;
}

void TDBaseTable::InternalClose() {
    std::exception_ptr failure;
    try {
        if (dbf_ && !ReadOnly) dbf_->WriteHeader(); // only when the table changed
    } catch (...) {
        failure = std::current_exception();
    }
    _CloseFiles();
    cursorOpen_ = false;
    current_ = -1;
    fieldHash_.clear();
    fieldHashCount_ = 0;
    ClearNameHits();
    if (failure) std::rethrow_exception(failure);
}

std::unique_ptr<data::TRecordBuffer> TDBaseTable::AllocRecordBuffer() {
    auto buf = std::make_unique<TRecBuf>();
    buf->bytes.assign(dbf_ ? dbf_->RecordSize : 0, 0);
    return buf;
}

void TDBaseTable::InternalInitRecord(data::TRecordBuffer& buffer) {
    auto& rec = static_cast<TRecBuf&>(buffer);
    std::fill(rec.bytes.begin(), rec.bytes.end(), ' '); // unset fields of a new record are blank
    rec.recIndex = -1;
    rec.indexPos = -1;
    rec.flag = data::TBookmarkFlag::bfCurrent;
}

std::int64_t TDBaseTable::CheckedRecord(TIndex& index) const {
    const std::int64_t rec = index.GetRealRecNo();
    if (rec < 0 || rec >= dbf_->RecordCount())
        throw EBinaryDataSetError("Index " + index.File().FileName() + ": record number " + std::to_string(rec + 1) +
                                  " is out of range");
    return rec;
}

TGetResult TDBaseTable::GetRecord(data::TRecordBuffer& buffer, TGetMode mode, bool doCheck) {
    auto& rec = static_cast<TRecBuf&>(buffer);
    const std::int64_t count = dbf_->RecordCount();
    if (count < 1) return TGetResult::grEOF;
    for (;;) {
        TGetResult result = TGetResult::grOK;
        if (!activeIndex_) {
            switch (mode) {
            case TGetMode::gmCurrent:
                if (current_ < 0 || current_ >= count) result = TGetResult::grError;
                break;
            case TGetMode::gmNext:
                if (current_ < count - 1) ++current_;
                else result = TGetResult::grEOF;
                break;
            case TGetMode::gmPrior:
                if (current_ > 0) current_ = std::min(current_, count) - 1;
                else result = TGetResult::grBOF;
                break;
            }
        } else {
            TIndex& idx = *activeIndex_;
            switch (mode) {
            case TGetMode::gmCurrent:
                if (indexSide_ != TIndexSide::On || !idx.Positioned()) result = TGetResult::grError;
                break;
            case TGetMode::gmNext: {
                const bool ok = indexSide_ == TIndexSide::Before ? idx.First() : indexSide_ == TIndexSide::On && idx.Next();
                indexSide_ = ok ? TIndexSide::On : TIndexSide::After;
                if (!ok) result = TGetResult::grEOF;
                break;
            }
            case TGetMode::gmPrior: {
                const bool ok = indexSide_ == TIndexSide::After ? idx.Last() : indexSide_ == TIndexSide::On && idx.Prev();
                indexSide_ = ok ? TIndexSide::On : TIndexSide::Before;
                if (!ok) result = TGetResult::grBOF;
                break;
            }
            }
            if (result == TGetResult::grOK) current_ = CheckedRecord(idx);
        }
        if (result != TGetResult::grOK) {
            if (result == TGetResult::grError && doCheck) throw EBinaryDataSetError("GetRecord: Invalid record");
            return result;
        }
        if (rec.bytes.size() != dbf_->RecordSize) rec.bytes.assign(dbf_->RecordSize, 0);
        dbf_->ReadRecord(current_, rec.bytes.data());
        rec.recIndex = static_cast<std::int32_t>(current_);
        rec.indexPos = activeIndex_ ? static_cast<std::int32_t>(std::min<std::int64_t>(activeIndex_->GetRecNo(), INT32_MAX)) : -1;
        rec.flag = data::TBookmarkFlag::bfCurrent;
        GetCalcFields(rec);
        const bool accepted = (showDeleted_ || rec.bytes[0] == TDBaseFile::kLiveFlag) && _FilterRecord(rec);
        if (accepted) return TGetResult::grOK;
        if (mode == TGetMode::gmCurrent) return TGetResult::grError;
        // A hidden record: step on from it.
    }
}

bool TDBaseTable::_FilterRecord(TRecBuf& buffer) {
    if (!RawFilter.empty()) {
        std::string lowered(buffer.bytes.begin(), buffer.bytes.end());
        for (char& c : lowered)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (lowered.find(RawFilter) == std::string::npos) return false;
    }
    if (!Filtered() || !OnFilterRecord) return true;
    const TDataSetState previous = State();
    const TRecBuf* previousBuffer = filterBuffer_;
    filterBuffer_ = &buffer;
    SetState(TDataSetState::dsFilter);
    bool accept = true;
    try {
        OnFilterRecord(*this, accept);
    } catch (...) {
        SetState(previous);
        filterBuffer_ = previousBuffer;
        throw;
    }
    SetState(previous);
    filterBuffer_ = previousBuffer;
    return accept;
}

void TDBaseTable::InternalFirst() {
    current_ = -1;
    indexSide_ = TIndexSide::Before;
}

void TDBaseTable::InternalLast() {
    current_ = dbf_->RecordCount();
    indexSide_ = TIndexSide::After;
}

void TDBaseTable::PositionIndexOn(TIndex& index, std::int64_t recordIndex) {
    if (index.Positioned() && index.GetRealRecNo() == recordIndex) return;
    std::vector<std::uint8_t> bytes(dbf_->RecordSize);
    dbf_->ReadRecord(recordIndex, bytes.data());
    if (!index.Find(index.KeyOfRecord(*dbf_, bytes.data()), RecNoOf(recordIndex))) index.GotoBookMark(recordIndex);
}

void TDBaseTable::InternalSetToRecord(data::TRecordBuffer& buffer) {
    const auto& rec = static_cast<TRecBuf&>(buffer);
    if (rec.recIndex < 0 || rec.recIndex >= dbf_->RecordCount()) return;
    current_ = rec.recIndex;
    if (activeIndex_) {
        PositionIndexOn(*activeIndex_, current_);
        indexSide_ = activeIndex_->Positioned() ? TIndexSide::On : TIndexSide::After;
    }
}

void TDBaseTable::InternalGotoBookmark(const data::TBookmark& bookmark) {
    std::int32_t rec = -1;
    if (bookmark.size() >= 4) std::memcpy(&rec, bookmark.data(), 4);
    if (rec < 0 || rec >= dbf_->RecordCount()) throw EBinaryDataSetError("Bookmark " + std::to_string(rec) + " not found");
    current_ = rec;
    if (activeIndex_) {
        PositionIndexOn(*activeIndex_, rec);
        indexSide_ = activeIndex_->Positioned() ? TIndexSide::On : TIndexSide::After;
    }
}

data::TBookmark TDBaseTable::GetBookmarkData(const data::TRecordBuffer& buffer) const {
    const auto& rec = static_cast<const TRecBuf&>(buffer);
    data::TBookmark bm(12, 0);
    std::memcpy(bm.data(), &rec.recIndex, 4);
    return bm;
}

void TDBaseTable::SetBookmarkData(data::TRecordBuffer& buffer, const data::TBookmark& bookmark) {
    auto& rec = static_cast<TRecBuf&>(buffer);
    if (bookmark.size() >= 4) std::memcpy(&rec.recIndex, bookmark.data(), 4);
}

data::TBookmarkFlag TDBaseTable::GetBookmarkFlag(const data::TRecordBuffer& buffer) const {
    return static_cast<const TRecBuf&>(buffer).flag;
}

void TDBaseTable::SetBookmarkFlag(data::TRecordBuffer& buffer, data::TBookmarkFlag flag) {
    static_cast<TRecBuf&>(buffer).flag = flag;
}

std::uint32_t TDBaseTable::MemoBlockOf(const std::uint8_t* record, int field) const {
    std::int64_t block = 0;
    Value v;
    dbf_->GetFieldData(field, TFieldType::ftInteger, &v, record);
    if (const auto* i = std::get_if<std::int64_t>(&v)) block = *i;
    return block > 0 && block <= 0xFFFFFFFFll ? static_cast<std::uint32_t>(block) : 0;
}

std::string TDBaseTable::ReadMemoText(const std::uint8_t* record, int field, std::uint32_t* length) {
    if (length) *length = 0;
    if (!dbt_) return {};
    const std::string bytes = dbt_->ReadMemo(MemoBlockOf(record, field));
    if (length) *length = static_cast<std::uint32_t>(bytes.size());
    return dbf_->CodePage().ToUtf8(bytes);
}

void TDBaseTable::StoreMemo(std::uint8_t* record, int field, const std::string& utf8) {
    if (ReadOnly) throw EBinaryDataSetError("Cannot write a memo: the table is open read-only");
    if (!dbt_) {
        if (utf8.empty()) {
            dbf_->SetFieldData(field, TFieldType::ftMemo, record, std::monostate{});
            return;
        }
        // A table whose memo file is missing gets a new, empty one for its first memo.
        dbt_ = std::make_unique<TDbtFile>(MemoFileName(), dbf_->Version, TOpenMode::Create);
        dbt_->WriteNewHeader();
    }
    const std::uint32_t oldBlock = MemoBlockOf(record, field);
    const std::uint32_t oldLength = oldBlock ? static_cast<std::uint32_t>(dbt_->ReadMemo(oldBlock).size()) : 0;
    const std::uint32_t block = dbt_->WriteMemo(oldBlock, oldLength, dbf_->CodePage().FromUtf8(utf8));
    dbf_->SetFieldData(field, TFieldType::ftMemo, record, block ? Value{static_cast<std::int64_t>(block)} : Value{});
}

bool TDBaseTable::GetFieldData(const data::TField& field, Value* dest) {
    if (field.FieldNo() < 1 || !dbf_) return false;
    const int i = field.FieldNo() - 1;
    if (i >= static_cast<int>(dbf_->FieldInfos.size())) return false;
    const TRecBuf* rec = FieldBuffer();
    if (!rec || rec->bytes.size() != dbf_->RecordSize) return false;
    if (State() != TDataSetState::dsFilter && State() != TDataSetState::dsInsert && dbf_->RecordCount() < 1) return false;
    Value local;
    Value& out = dest ? *dest : local;
    const TMyFieldInfo& info = dbf_->FieldInfos[static_cast<std::size_t>(i)];
    if (info.FieldType == TFieldType::ftMemo) out = ReadMemoText(rec->bytes.data(), i);
    else dbf_->GetFieldData(i, info.FieldType, &out, rec->bytes.data());
    return !data::IsNull(out);
}

void TDBaseTable::GetFieldText(const data::TField& field, std::string& text) {
    const TDBaseFile* dbf = dbf_.get();
    const auto i = static_cast<std::size_t>(field.FieldNo() - 1); // calculated fields (0) wrap to a huge index
    // Only where the field shows the stored type as it is; other fields take the general way.
    if (!dbf || !dbf->ReadsText(i, field.DataType())) return TDataSet::GetFieldText(field, text);
    const TDataSetState state = State();
    const TRecBuf* rec = state == TDataSetState::dsFilter ? filterBuffer_ : static_cast<const TRecBuf*>(ActiveBuffer());
    if (!rec || rec->bytes.size() != dbf->RecordSize) return TDataSet::GetFieldText(field, text);
    if (state != TDataSetState::dsFilter && state != TDataSetState::dsInsert && dbf->RecordCount() < 1) {
        text.clear();
        return;
    }
    dbf->GetFieldText(i, rec->bytes.data(), text);
}

void TDBaseTable::SetFieldData(data::TField& field, const Value& source) {
    if (field.FieldNo() < 1 || !dbf_) return;
    const int i = field.FieldNo() - 1;
    if (i >= static_cast<int>(dbf_->FieldInfos.size())) return;
    TRecBuf& rec = Active_();
    const TMyFieldInfo& info = dbf_->FieldInfos[static_cast<std::size_t>(i)];
    if (info.FieldType == TFieldType::ftMemo) {
        std::string text;
        if (const auto* s = std::get_if<std::string>(&source)) text = *s;
        StoreMemo(rec.bytes.data(), i, text);
    } else {
        dbf_->SetFieldData(i, info.FieldType, rec.bytes.data(), source);
    }
    DataEvent(data::TDataEvent::deFieldChange, &field);
}

std::unique_ptr<data::TMemoryStream> TDBaseTable::CreateBlobStream(data::TField& field, TBlobStreamMode mode) {
    return std::make_unique<TMyBlobFile>(*this, field, mode);
}

void TDBaseTable::_AppendRecord(TRecBuf& buffer) {
    InternalLast();
    buffer.bytes[0] = TDBaseFile::kLiveFlag;
    dbf_->AppendRecord(buffer.bytes.data());
    current_ = dbf_->RecordCount() - 1;
    buffer.recIndex = static_cast<std::int32_t>(current_);
    for (auto& idx : indexes_) idx->Insert(idx->KeyOfRecord(*dbf_, buffer.bytes.data()), RecNoOf(current_));
}

void TDBaseTable::InternalPost() {
    TRecBuf& rec = Active_();
    if (State() == TDataSetState::dsEdit) {
        if (rec.recIndex < 0 || rec.recIndex >= dbf_->RecordCount()) throw EBinaryDataSetError("GetRecord: Invalid record");
        current_ = rec.recIndex;
        // Every open index trades the record's old key for its new one.
        std::vector<std::uint8_t> old(dbf_->RecordSize);
        dbf_->ReadRecord(current_, old.data());
        for (auto& idx : indexes_) idx->Delete(idx->KeyOfRecord(*dbf_, old.data()), RecNoOf(current_));
        dbf_->WriteRecordAt(current_, rec.bytes.data());
        for (auto& idx : indexes_) idx->Insert(idx->KeyOfRecord(*dbf_, rec.bytes.data()), RecNoOf(current_));
    } else {
        _AppendRecord(rec);
    }
    if (activeIndex_) {
        PositionIndexOn(*activeIndex_, current_);
        indexSide_ = activeIndex_->Positioned() ? TIndexSide::On : TIndexSide::After;
    }
}

void TDBaseTable::InternalAddRecord(data::TRecordBuffer& buffer, bool /*append*/) {
    _AppendRecord(static_cast<TRecBuf&>(buffer));
}

void TDBaseTable::InternalDelete() {
    TRecBuf& rec = Active_();
    if (rec.recIndex < 0 || rec.recIndex >= dbf_->RecordCount()) throw EBinaryDataSetError("GetRecord: Invalid record");
    current_ = rec.recIndex;
    rec.bytes[0] = TDBaseFile::kDeletedFlag;
    dbf_->WriteRecordAt(current_, rec.bytes.data());
}

int TDBaseTable::GetRecordCount() {
    return dbf_ ? static_cast<int>(dbf_->RecordCount()) : 0;
}

int TDBaseTable::GetRecNo() {
    if (activeIndex_) return -1; // an index gives no exact position
    return current_ < 0 ? 1 : static_cast<int>(current_ + 1);
}

void TDBaseTable::SetShowDeleted(bool value) {
    if (value == showDeleted_) return;
    showDeleted_ = value;
    if (Active()) Refresh();
}

void TDBaseTable::CreateTable() {
    if (Active()) throw EBinaryDataSetError("CreateTable: the table is open");
    std::vector<data::TFieldDef> defs = FieldDefs().Items();
    if (defs.empty())
        for (const auto& f : Fields())
            if (f->FieldKind() == data::TFieldKind::fkData) {
                data::TFieldDef d;
                d.Name = f->FieldName();
                d.DataType = f->DataType();
                d.Size = f->Size();
                d.Required = f->Required;
                defs.push_back(d);
            }
    try {
        _OpenFiles(true);
        dbf_->CreateTable(defs);
        if (dbf_->HasMemoFields()) {
            dbt_ = std::make_unique<TDbtFile>(MemoFileName(), dbf_->Version, TOpenMode::Create);
            dbt_->WriteNewHeader();
        }
    } catch (...) {
        _CloseFiles();
        throw;
    }
    _CloseFiles();
}

int TDBaseTable::OpenIndex(const std::string& fileName) {
    if (!dbf_ || !Active()) throw EBinaryDataSetError("OpenIndex: the table " + FileName + " is not open");
    for (std::size_t i = 0; i < indexFiles_.size(); ++i)
        if (EqualNoCase(indexFiles_[i]->FileName(), fileName)) return static_cast<int>(i);
    std::error_code ec;
    if (!fs::is_regular_file(fileName, ec)) throw EBinaryDataSetError("OpenIndex: Index file not found : " + fileName);
    if (IsMdxName(fileName)) {
        TIndexFile mdx(fileName, TOpenMode::ReadOnly); // read and closed again
        throw EBinaryDataSetError("OpenIndex: " + fileName + " is a multiple index file (.mdx) and gives no usable index");
    }
    auto file = std::make_unique<TIndexFile>(fileName, ReadOnly ? TOpenMode::ReadOnly : TOpenMode::ReadWrite);
    auto index = std::make_unique<TIndex>(*file);
    for (std::size_t i = 0; i < dbf_->FieldInfos.size(); ++i)
        if (EqualNoCase(dbf_->FieldInfos[i].Name, index->KeyExpression())) index->KeyField = static_cast<int>(i);
    if (index->KeyField < 0)
        throw EBinaryDataSetError("OpenIndex: the key \"" + index->KeyExpression() + "\" of " + fileName +
                                  " is not a field of the table");
    const TFieldType keyType = dbf_->FieldInfos[static_cast<std::size_t>(index->KeyField)].FieldType;
    if (!index->CharacterKeys() && (keyType == TFieldType::ftString || keyType == TFieldType::ftMemo))
        throw EBinaryDataSetError("OpenIndex: " + fileName + " has numeric keys but its key field is text");
    indexFiles_.push_back(std::move(file));
    indexes_.push_back(std::move(index));
    return static_cast<int>(indexFiles_.size()) - 1;
}

void TDBaseTable::UseIndex(int position) {
    if (position < 0 || position >= static_cast<int>(indexes_.size())) return;
    activeIndex_ = indexes_[static_cast<std::size_t>(position)].get();
    indexSide_ = TIndexSide::Before;
    if (Active()) Refresh();
}

bool TDBaseTable::Find(const std::string& key) {
    if (!activeIndex_ || !Active()) return false;
    CheckBrowseMode();
    TIndex& idx = *activeIndex_;
    const bool found = idx.Find(idx.SearchKey(*dbf_, key), 0);
    if (idx.Positioned()) {
        current_ = CheckedRecord(idx);
        indexSide_ = TIndexSide::On;
    } else {
        InternalLast();
    }
    Resync();
    return found;
}

} // namespace dbase
