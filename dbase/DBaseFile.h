#pragma once
// The dBase table file (.dbf): header, field descriptors of the three dialects, records with
// their deletion flag, and the conversion between stored field texts and values.

#include "dbase/CodePageTable.h"
#include "dbase/FieldInfo.h"
#include "dbase/PagedFile.h"
#include "platform/data/Field.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dbase {

enum class xBaseVersion { xBaseIII = 0, xBaseIV = 1, xBaseV = 2 };

// Receives the notices about a header that disagrees with the file.
using TNoticeEvent = std::function<void(const std::string&)>;

class TDBaseFile : public TPagedFile {
public:
    static constexpr std::uint8_t kDeletedFlag = '*';
    static constexpr std::uint8_t kLiveFlag = ' ';

    // Opens (or, with TOpenMode::Create, creates) a table file. An existing file's header is read
    // and checked; the field layouts are read by CreateFieldDefs.
    TDBaseFile(const std::string& fileName, TOpenMode mode, TNoticeEvent notice = {});

    // The header as read: 32 bytes, 68 in dialect V (whose descriptors start at 68).
    std::array<std::uint8_t, 68> rDbfHdr{};
    xBaseVersion Version = xBaseVersion::xBaseIII;
    std::vector<TMyFieldInfo> FieldInfos;

    // Reads the field descriptors into FieldInfos and checks that they fit the record size.
    void CreateFieldDefs();
    // Converts field i of a record to its value; a text that means no value gives monostate.
    bool GetFieldData(int i, data::TFieldType type, data::Value* dest, const std::uint8_t* record) const;
    // Whether GetFieldText reads field i for a field shown as `shown`: only as its stored type,
    // and not a memo (memos are read as streams).
    bool ReadsText(std::size_t i, data::TFieldType shown) const {
        return i < textLayoutCount_ && textLayouts_[i].readsAs == static_cast<std::uint8_t>(shown);
    }
    // The text of field i as the dataset's fields show it (trimmed UTF-8 text, decimal numbers
    // with a decimal comma, dates "d.M.yyyy", "True"/"False", "" for no value), made straight
    // from the stored bytes of a record of RecordSize bytes. Replaces out. Only where ReadsText.
    void GetFieldText(std::size_t i, const std::uint8_t* record, std::string& out) const;
    // Converts a value into field i of a record; monostate writes blanks. A text wider than the
    // field raises EFieldToLongError and leaves the record unchanged.
    void SetFieldData(int i, data::TFieldType type, std::uint8_t* record, const data::Value& source) const;
    // Writes the descriptors and header of a new table.
    void CreateTable(const std::vector<data::TFieldDef>& defs);
    // Writes the header and the end-of-file mark when the table changed since it was opened.
    void WriteHeader();
    void AppendRecord(const std::uint8_t* buffer);
    void WriteRecordAt(std::int64_t n, const std::uint8_t* buffer);
    std::int64_t RecordCount() const { return recordCount_; }
    void ClearMyFieldInfos() {
        FieldInfos.clear();
        textLayouts_.clear();
        textLayoutCount_ = 0;
    }
    bool HasMemoFields() const;

    const TCodePageTable& CodePage() const { return *codePage_; }
    bool Changed() const { return changed_; }

    // Text of field i as stored, trimmed, in the file's code page (used for index keys).
    std::string RawTrimmedText(int i, const std::uint8_t* record) const;

private:
    static std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
    static std::uint32_t Get32(const std::uint8_t* p) {
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    // The general form of GetFieldText: through the value.
    [[gnu::noinline]] void ValueText(std::size_t i, data::TFieldType type, const std::uint8_t* record, std::string& out) const;
    std::string FormatField(const TMyFieldInfo& info, data::TFieldType type, const data::Value& source) const;

    // How GetFieldText reads each field, worked out once when the descriptors are read (16 bytes,
    // so that finding field i costs no division).
    enum class TTextRead : std::uint8_t {
        Text,      // trimmed and converted, from masks
        Integer,   // as stored when in its shortest form, from masks
        Float,     // the same, with the decimal comma
        Date,      // YYYYMMDD as "d.M.yyyy"
        ByteText,  // text too wide for masks (or a record too short): trimmed byte by byte
        ByValue,   // through the value: logical fields, numbers that cannot be scanned
    };
    struct TTextLayout {
        std::uint32_t offset = 0; // first byte in the record
        std::uint32_t load = 0;   // start of the one 16-byte load that holds the field (oneLoad)
        std::uint16_t keep = 0;   // the field's bits of that load, shifted down
        std::uint8_t size = 0;
        std::uint8_t shift = 0;   // offset - load
        TTextRead read = TTextRead::ByValue;
        bool oneLoad = false;     // at most 16 bytes: one load; otherwise loads inside the field
        std::uint8_t type = 0;    // the stored type (data::TFieldType)
        std::uint8_t readsAs = 0; // the type a field must show to be read here: the stored type, none for memos
    };
    static_assert(sizeof(TTextLayout) == 16);
    void BuildTextLayouts();

    std::vector<TTextLayout> textLayouts_;
    std::size_t textLayoutCount_ = 0;
    TNoticeEvent notice_;
    const TCodePageTable* codePage_ = nullptr;
    std::int64_t recordCount_ = 0;
    bool changed_ = false;
};

// Map of the stored type letter (with length and decimals) to the dataset's field type.
data::TFieldType FieldTypeOf(char letter, int length, int decimals);

// Calendar helpers on the day count of data::TDateTime (days since 30.12.1899).
data::TDateTime DateFromYmd(int year, int month, int day);
void YmdFromDate(data::TDateTime date, int& year, int& month, int& day);
bool ValidYmd(int year, int month, int day);

} // namespace dbase
