#pragma once
// What the benchmark programs share: timing, the median of repeated runs, their command line
// (the library size options of lendar-generate and --keep) and a scratch folder.

#include "LibraryGenerator.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// Wall-clock milliseconds of one run of `work`.
inline double Millis(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The middle figure (the upper one of an even count); 0 for none.
inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Reads --keep and the size options (--books N ...); any other option with a number goes to
// `other`. A last option without its number is ignored.
inline void ReadBenchOptions(int argc, char** argv, LibrarySize& size, bool& keep,
                             const std::function<void(const std::string& option, int value)>& other = {})
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--keep") {
            keep = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        const int value = std::atoi(argv[++i]);
        if (!SetSizeOption(size, option, value) && other)
            other(option, value);
    }
}

// A new empty folder in the temporary folder, its name starting with `prefix`; none when it
// cannot be made.
inline std::optional<std::filesystem::path> MakeScratchFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        return std::nullopt;
    return std::filesystem::path(pattern);
}

} // namespace bench
