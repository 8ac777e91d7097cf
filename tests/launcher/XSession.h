#pragma once
// A private X server (Xvfb) for a test, and the few things a test does on it through xdotool:
// find a top-level window by its title, click into it, press Return in it.

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace launcher_test {

class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Whether Xvfb and xdotool are installed; WhyNot() says what is missing.
    bool Available() const { return why_.empty(); }
    const std::string& WhyNot() const { return why_; }
    // Starts the server on a free display.
    bool Start();
    const std::string& Display() const { return display_; }

    // The id of a visible window whose title is exactly `title`, waiting up to `seconds`; "" when
    // none appeared.
    std::string WaitForWindow(const std::string& title, int seconds);
    // Waits until no visible window has that title.
    bool WaitUntilGone(const std::string& title, int seconds);
    // The window's size with its menu bar (no frame: there is no window manager); {0, 0} on failure.
    std::pair<int, int> Size(const std::string& window);
    // Clicks the left button at (x, y) inside the window.
    bool Click(const std::string& window, int x, int y);
    // Gives the window the keyboard.
    bool Focus(const std::string& window);
    // Gives the window the keyboard and presses Return.
    bool PressReturn(const std::string& window);
    // Types text into the window that has the keyboard; keys such as "Tab" or "Return".
    bool Type(const std::string& text);
    bool Keys(const std::string& keys);
    // With LENDAR_TEST_SCREENSHOTS naming a folder (and ImageMagick's import installed), saves the
    // whole screen there as <name>.png, to be looked at after the run; otherwise does nothing.
    void Screenshot(const std::string& name);

private:
    std::string Run(const std::vector<std::string>& args, int* exitCode = nullptr);
    std::string why_;
    std::string display_;
    std::string xdotool_;
    std::string xvfb_;
    pid_t server_ = -1;
};

} // namespace launcher_test
