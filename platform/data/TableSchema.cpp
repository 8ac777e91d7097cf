#include "platform/data/TableSchema.h"

#include "platform/data/DataSet.h"
#include "platform/data/Sqlite.h"
#include "platform/sys/CzechText.h"

#include <fstream>
#include <sstream>

namespace data {
namespace {

struct TypeName {
    TFieldType type;
    const char* name;
};

constexpr TypeName kTypeNames[] = {
    {TFieldType::ftString, "text"},       {TFieldType::ftSmallint, "smallint"},
    {TFieldType::ftInteger, "integer"},   {TFieldType::ftLargeint, "largeint"},
    {TFieldType::ftAutoInc, "autoinc"},   {TFieldType::ftBoolean, "boolean"},
    {TFieldType::ftFloat, "float"},       {TFieldType::ftCurrency, "currency"},
    {TFieldType::ftDate, "date"},         {TFieldType::ftDateTime, "datetime"},
    {TFieldType::ftMemo, "memo"},
};

std::vector<std::string> Words(std::string_view line)
{
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

// The one SQLite connection a schema file operation uses, closed on every path.
struct Connection {
    sqlite3* db = nullptr;
    ~Connection()
    {
        if (db != nullptr)
            sqlite3_close_v2(db);
    }
};

std::string CreateTableSql(const TableSchema& schema)
{
    std::string sql = "CREATE TABLE " + sqlite::QuoteIdent(schema.TableName()) + " (";
    bool first = true;
    for (const auto& f : schema.fields) {
        if (!first)
            sql += ", ";
        first = false;
        sql += sqlite::QuoteIdent(f.name) + ' ' + SqlColumnType(f.type);
        if (f.type == TFieldType::ftAutoInc)
            sql += " PRIMARY KEY AUTOINCREMENT";
    }
    return sql + ")";
}

} // namespace

std::string TableSchema::TableName() const
{
    return std::filesystem::path(fileName).stem().string();
}

std::string FieldTypeName(TFieldType type)
{
    for (const auto& t : kTypeNames)
        if (t.type == type)
            return t.name;
    return "unknown";
}

std::optional<TFieldType> FieldTypeFromName(std::string_view name)
{
    for (const auto& t : kTypeNames)
        if (name == t.name)
            return t.type;
    return std::nullopt;
}

std::string SqlColumnType(TFieldType type)
{
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc:
    case TFieldType::ftBoolean:
    case TFieldType::ftCurrency:
        return "INTEGER";
    case TFieldType::ftFloat:
        return "REAL";
    default:
        return "TEXT";
    }
}

TableSchema ParseSchemaText(std::string_view text, const std::string& sourceName)
{
    TableSchema schema;
    std::istringstream in{std::string(text)};
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& what) {
        throw EDatabaseError("Popis tabulky '" + sourceName + "', řádek " + std::to_string(lineNo) + ": " + what);
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto words = Words(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        const std::string& key = words[0];
        if (key == "file") {
            if (words.size() != 2)
                fail("očekává se 'file <název souboru>'");
            schema.fileName = words[1];
        } else if (key == "field") {
            if (words.size() < 3 || words.size() > 4)
                fail("očekává se 'field <název> <typ> [délka]'");
            auto type = FieldTypeFromName(words[2]);
            if (!type)
                fail("neznámý typ pole '" + words[2] + "'");
            FieldSpec f{words[1], *type, 0};
            if (*type == TFieldType::ftString) {
                if (words.size() != 4)
                    fail("textové pole '" + words[1] + "' potřebuje délku");
                try {
                    f.size = std::stoi(words[3]);
                } catch (const std::exception&) {
                    f.size = 0;
                }
                if (f.size < 1)
                    fail("neplatná délka pole '" + words[1] + "'");
            } else if (words.size() != 3) {
                fail("pole '" + words[1] + "' nemá délku");
            }
            for (const auto& existing : schema.fields)
                if (sys::SameTextCzech(existing.name, f.name))
                    fail("pole '" + f.name + "' je uvedeno dvakrát");
            schema.fields.push_back(f);
        } else if (key == "index") {
            if (words.size() < 3 || words.size() > 4)
                fail("očekává se 'index <název> <pole;pole> [volby]'");
            schema.indexes.push_back({words[1], words[2], words.size() == 4 ? words[3] : ""});
        } else if (key == "sqlindex") {
            if (words.size() != 2)
                fail("očekává se 'sqlindex <pole>'");
            schema.sqlIndexes.push_back(words[1]);
        } else {
            fail("neznámé slovo '" + key + "'");
        }
    }
    if (schema.fileName.empty())
        fail("chybí řádek 'file'");
    if (schema.fields.empty())
        fail("tabulka nemá žádné pole");
    auto known = [&](const std::string& name) {
        for (const auto& f : schema.fields)
            if (f.name == name)
                return true;
        return false;
    };
    for (const auto& ix : schema.indexes) {
        std::istringstream parts(ix.fields);
        std::string part;
        while (std::getline(parts, part, ';'))
            if (!known(part))
                fail("index '" + ix.name + "' uvádí neznámé pole '" + part + "'");
    }
    for (const auto& col : schema.sqlIndexes)
        if (!known(col))
            fail("sqlindex uvádí neznámé pole '" + col + "'");
    return schema;
}

TableSchema ReadSchemaFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EDatabaseError("Popis tabulky '" + path.string() + "' nelze přečíst.");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseSchemaText(text.str(), path.filename().string());
}

void WriteTableFile(const std::filesystem::path& path, const TableSchema& schema)
{
    const std::filesystem::path temp = path.string() + ".new";
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    try {
        Connection c;
        if (sqlite3_open_v2(temp.c_str(), &c.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            sqlite::Fail(c.db, "Soubor '" + temp.string() + "' nelze vytvořit");
        std::string sql = "PRAGMA journal_mode=DELETE; BEGIN;";
        sql += CreateTableSql(schema) + ";";
        sql += "CREATE TABLE lendar_fields (position INTEGER PRIMARY KEY, name TEXT NOT NULL, "
               "type TEXT NOT NULL, size INTEGER NOT NULL);";
        sql += "CREATE TABLE lendar_indexes (name TEXT PRIMARY KEY, fields TEXT NOT NULL, "
               "options TEXT NOT NULL);";
        for (const auto& col : schema.sqlIndexes)
            sql += "CREATE INDEX " + sqlite::QuoteIdent(schema.TableName() + "_" + col) + " ON " +
                   sqlite::QuoteIdent(schema.TableName()) + " (" + sqlite::QuoteIdent(col) + ");";
        sqlite::Exec(c.db, sql);
        sqlite::Statement field(c.db, "INSERT INTO lendar_fields VALUES (?, ?, ?, ?)");
        for (std::size_t i = 0; i < schema.fields.size(); ++i) {
            const auto& f = schema.fields[i];
            field.BindInt64(1, static_cast<std::int64_t>(i + 1));
            field.BindText(2, f.name);
            field.BindText(3, FieldTypeName(f.type));
            field.BindInt64(4, f.size);
            field.Step();
            field.Reset();
        }
        sqlite::Statement index(c.db, "INSERT INTO lendar_indexes VALUES (?, ?, ?)");
        for (const auto& ix : schema.indexes) {
            index.BindText(1, ix.name);
            index.BindText(2, ix.fields);
            index.BindText(3, ix.options);
            index.Step();
            index.Reset();
        }
        sqlite::Exec(c.db, "PRAGMA user_version=" + std::to_string(kTableFileVersion) + "; COMMIT;");
    } catch (...) {
        std::filesystem::remove(temp, ec);
        throw;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec)
        throw EDatabaseError("Soubor '" + path.string() + "' nelze zapsat: " + ec.message());
}

TableSchema ReadTableStructure(sqlite3* db, const std::string& schemaName, const std::string& tableName,
                               const std::string& fileLabel)
{
    const std::string where = "Soubor '" + fileLabel + "'";
    const std::string schemaQ = sqlite::QuoteIdent(schemaName);
    TableSchema result;
    result.fileName = fileLabel;
    try {
        sqlite::Statement version(db, "PRAGMA " + schemaQ + ".user_version");
        version.Step();
        const auto v = version.ColumnInt64(0);
        if (v != kTableFileVersion)
            throw EDatabaseError(where + " není tabulkou programu nebo má nepodporovanou verzi (" +
                                 std::to_string(v) + ").");
    } catch (const EDatabaseError& e) {
        const std::string text = e.what();
        if (text.rfind(where, 0) == 0)
            throw;
        throw EDatabaseError(where + " není platnou tabulkou: " + text);
    }

    // Which tables the file holds.
    bool hasFields = false, hasIndexes = false, hasTable = false;
    std::string actualTable;
    {
        sqlite::Statement list(db, "SELECT name FROM " + schemaQ + ".sqlite_master WHERE type='table'");
        while (list.Step()) {
            const std::string name = list.ColumnText(0);
            if (name == "lendar_fields")
                hasFields = true;
            else if (name == "lendar_indexes")
                hasIndexes = true;
            else if (sys::SameTextCzech(name, tableName)) {
                hasTable = true;
                actualTable = name;
            }
        }
    }
    if (!hasFields || !hasIndexes)
        throw EDatabaseError(where + " není tabulkou programu (chybí popis struktury).");
    if (!hasTable)
        throw EDatabaseError(where + " neobsahuje tabulku '" + tableName + "'.");

    {
        sqlite::Statement fields(db, "SELECT name, type, size FROM " + schemaQ +
                                         ".lendar_fields ORDER BY position");
        while (fields.Step()) {
            FieldSpec f;
            f.name = fields.ColumnText(0);
            const std::string typeName = fields.ColumnText(1);
            auto type = FieldTypeFromName(typeName);
            if (!type)
                throw EDatabaseError(where + ": pole '" + f.name + "' má neznámý typ '" + typeName + "'.");
            f.type = *type;
            f.size = static_cast<int>(fields.ColumnInt64(2));
            result.fields.push_back(f);
        }
    }
    if (result.fields.empty())
        throw EDatabaseError(where + " nepopisuje žádné pole.");
    {
        sqlite::Statement indexes(db, "SELECT name, fields, options FROM " + schemaQ + ".lendar_indexes");
        while (indexes.Step())
            result.indexes.push_back({indexes.ColumnText(0), indexes.ColumnText(1), indexes.ColumnText(2)});
    }

    // The table's columns must carry every declared field with its storage type.
    struct Column {
        std::string name, type;
        bool pk;
    };
    std::vector<Column> columns;
    {
        sqlite::Statement info(db, "PRAGMA " + schemaQ + ".table_info(" + sqlite::QuoteIdent(actualTable) + ")");
        while (info.Step())
            columns.push_back({info.ColumnText(1), info.ColumnText(2), info.ColumnInt64(5) != 0});
    }
    for (const auto& f : result.fields) {
        const Column* found = nullptr;
        for (const auto& c : columns)
            if (sys::SameTextCzech(c.name, f.name))
                found = &c;
        if (found == nullptr)
            throw EDatabaseError(where + ": v tabulce chybí pole '" + f.name + "'.");
        if (!sys::SameTextCzech(found->type, SqlColumnType(f.type)) ||
            (f.type == TFieldType::ftAutoInc && !found->pk))
            throw EDatabaseError(where + ": pole '" + f.name + "' má jiný typ (" + found->type +
                                 ") než popis tabulky (" + FieldTypeName(f.type) + ").");
    }
    return result;
}

bool TableFileMatches(const std::filesystem::path& path, const TableSchema& schema)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    Connection c;
    if (sqlite3_open_v2(path.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return false;
    try {
        const TableSchema actual = ReadTableStructure(c.db, "main", schema.TableName(), path.filename().string());
        return actual.fields == schema.fields && actual.indexes == schema.indexes;
    } catch (const EDatabaseError&) {
        return false;
    }
}

} // namespace data
