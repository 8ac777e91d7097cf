#pragma once
// Outcome of an operation that can fail for reasons outside the program (files, processes):
// success, or failure with a message for the user (Czech).

#include <string>
#include <utility>

namespace sys {

struct Status {
    bool ok = true;
    std::string message; // empty on success

    static Status Ok() { return {}; }
    static Status Fail(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

} // namespace sys
