#include "TransferSupport.h"

#include "platform/data/Table.h"

#include <QCoreApplication>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace transfertest {

Rows TableRows(const std::string& file, const std::vector<std::string>& fields)
{
    data::TTable table;
    table.TableName = file;
    table.Open();
    Rows rows;
    for (table.First(); !table.Eof(); table.Next()) {
        std::vector<std::string> row;
        for (const std::string& field : fields)
            row.push_back(table.FieldByName(field).AsString());
        rows.push_back(row);
    }
    return rows;
}

bool RunUntil(const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(2);
    }
    return true;
}

int RunCommand(const std::string& command, std::string* output)
{
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (output != nullptr)
        *output = out;
    return status;
}

std::string ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool HavePythonModule(const char* module)
{
    return RunCommand(std::string("/usr/bin/python3 -c 'import ") + module + "' >/dev/null 2>&1") == 0;
}

Rows ReadCsvWithPython(const std::string& file)
{
    const std::string script = file + ".read.py";
    WriteBytes(script, R"PY(
import csv, sys
with open(sys.argv[1], newline='', encoding='cp1250') as f:
    rows = list(csv.reader(f, delimiter=';'))
out = []
for r in rows:
    if not r or r[-1] != '':
        sys.exit('a row does not end with ";": %r' % (r,))
    out.append('\x1f'.join(r[:-1]))
sys.stdout.write('\x1e'.join(out))
)PY");
    std::string output;
    const int status = RunCommand("/usr/bin/python3 " + script + " '" + file + "'", &output);
    std::remove(script.c_str());
    EXPECT_EQ(status, 0) << output;
    Rows rows;
    if (status != 0)
        return rows;
    std::size_t start = 0;
    while (start <= output.size() && !output.empty()) {
        std::size_t end = output.find('\x1e', start);
        if (end == std::string::npos)
            end = output.size();
        const std::string row = output.substr(start, end - start);
        std::vector<std::string> values;
        std::size_t from = 0;
        while (true) {
            const std::size_t at = row.find('\x1f', from);
            values.push_back(row.substr(from, at == std::string::npos ? std::string::npos : at - from));
            if (at == std::string::npos)
                break;
            from = at + 1;
        }
        rows.push_back(values);
        start = end + 1;
    }
    return rows;
}

} // namespace transfertest
