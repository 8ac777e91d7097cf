#pragma once
// Helpers for tests that touch the file system: a temporary folder, a scoped environment variable,
// running a piece of code without root's power to ignore file permissions, and a folder on a
// memory-backed mount of this machine.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace systest {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder()
    {
        std::string name = (fs::temp_directory_path() / "lendar-sys-XXXXXX").string();
        path_ = mkdtemp(name.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(path_, ec))
            if (entry.is_directory(ec))
                chmod(entry.path().c_str(), 0700);
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const fs::path& name) const { return path_ / name; }

private:
    fs::path path_;
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value)
            setenv(name_, value->c_str(), 1);
        else
            unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};

inline bool IsRoot() { return geteuid() == 0; }

constexpr uid_t kNobody = 65534;

// Hands a path to the unprivileged user that RunUnprivileged runs as (only needed under root).
inline void GiveToUnprivileged(const fs::path& path)
{
    if (IsRoot() && chown(path.c_str(), kNobody, kNobody) != 0)
        std::abort();
}

// Runs `body` where file permissions apply and returns its result: in a child process as an
// unprivileged user when we are root, in this process otherwise.
inline int RunUnprivileged(const std::function<int()>& body)
{
    if (!IsRoot())
        return body();
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

inline std::string ReadFile(const fs::path& file)
{
    std::string content;
    if (FILE* f = std::fopen(file.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            content.append(buffer, n);
        std::fclose(f);
    }
    return content;
}

inline void WriteFile(const fs::path& file, const std::string& content)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

// A writable folder on a memory-backed mount of this machine (/dev/shm, /run or /tmp; "" when it
// has none).
inline fs::path MemoryMountFolder()
{
    std::ifstream in("/proc/self/mountinfo");
    for (std::string line; std::getline(in, line);) {
        if (line.find(" - tmpfs ") == std::string::npos && line.find(" - ramfs ") == std::string::npos)
            continue;
        std::istringstream words(line);
        std::string word, point;
        for (int i = 0; i < 5 && words >> word; ++i)
            point = word;
        std::error_code ec;
        if (point.find('\\') != std::string::npos || access(point.c_str(), W_OK) != 0 || !fs::is_directory(point, ec))
            continue;
        if (point == "/dev/shm" || point.rfind("/run", 0) == 0 || point.rfind("/tmp", 0) == 0)
            return point;
    }
    return {};
}

} // namespace systest
