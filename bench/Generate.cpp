// lendar-generate <folder> [--books N] [--readers N] [--loans N] [--open N] [--archived N]
// Fills the tables of a program folder copy with a large, realistic library.

#include "LibraryGenerator.h"

#include "platform/sys/ShortDate.h"

#include <charconv>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: lendar-generate <folder> [--books N] [--readers N] [--loans N] [--open N] [--archived N]\n";
        return 2;
    }
    bench::LibrarySize size;
    for (int i = 2; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            std::cerr << "missing number after " << option << '\n';
            return 2;
        }
        const std::string text = argv[i + 1];
        int value = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value < 0) {
            std::cerr << "not a count for " << option << ": " << text << '\n';
            return 2;
        }
        if (!bench::SetSizeOption(size, option, value)) {
            std::cerr << "unknown option " << option << '\n';
            return 2;
        }
    }
    try {
        bench::GenerateLibrary(argv[1], size, sys::Today().days, [](const std::string& line) { std::cout << line << '\n'; });
    } catch (const std::exception& e) {
        std::cerr << "lendar-generate: " << e.what() << '\n';
        return 1;
    }
    std::cout << "peak memory " << bench::PeakMemoryMiB() << " MiB\n";
    return 0;
}
