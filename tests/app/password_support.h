#pragma once
// Support for the password tests: typing any text as keys, and a private registry store
// (LENDAR_REGISTRY points into a temporary folder for the life of the object) that ReadOnly()
// makes unwritable, also for root, whose power to ignore file permissions is laid down meanwhile.

#include "app/password/RegistryValue.h"
#include "platform/sys/Registry.h"

#include "platform/ui/Text.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <linux/capability.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pwtest {

namespace fs = std::filesystem;

// Types the text key by key into the widget, letters with accents included.
inline void TypeKeys(QWidget& widget, const std::string& text) {
    for (const QChar ch : ui::Q(text)) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(&widget, static_cast<char>(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

class PasswordStore {
public:
    PasswordStore() {
        std::string name = (fs::temp_directory_path() / "lendar-pw-XXXXXX").string();
        folder_ = mkdtemp(name.data());
        file_ = folder_ / "Orbelin" / "Pernoka-2.1.conf";
        if (const char* old = std::getenv("LENDAR_REGISTRY")) oldEnv_ = old;
        setenv("LENDAR_REGISTRY", file_.c_str(), 1);
    }
    ~PasswordStore() {
        Writable();
        if (oldEnv_)
            setenv("LENDAR_REGISTRY", oldEnv_->c_str(), 1);
        else
            unsetenv("LENDAR_REGISTRY");
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    PasswordStore(const PasswordStore&) = delete;
    PasswordStore& operator=(const PasswordStore&) = delete;

    const fs::path& File() const { return file_; }

    // The stored password value, or nothing when absent (or the key is missing).
    std::optional<std::string> Stored() const {
        sys::RegistryKey key(file_);
        if (!key.OpenForReading()) return std::nullopt;
        return key.ReadString(password::kRegistryValue);
    }
    void Store(const std::string& value) {
        sys::RegistryKey key(file_);
        ASSERT_TRUE(key.Open(true));
        ASSERT_TRUE(key.WriteString("Path", "/opt/Pernoka"));
        ASSERT_TRUE(key.WriteString(password::kRegistryValue, value));
    }
    // A key that exists but holds no password.
    void StoreNoPassword() {
        sys::RegistryKey key(file_);
        ASSERT_TRUE(key.Open(true));
        ASSERT_TRUE(key.WriteString("Path", "/opt/Pernoka"));
    }
    // A key file that cannot be read as a key.
    void Damage() {
        fs::create_directories(file_.parent_path());
        std::ofstream(file_) << "Password\n";
    }
    std::string Content() const {
        std::ifstream in(file_);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    // Neither the key's file nor its folder can be written from now on.
    void ReadOnly() {
        fs::create_directories(file_.parent_path());
        if (fs::exists(file_)) chmod(file_.c_str(), 0444);
        chmod(file_.parent_path().c_str(), 0555);
        chmod(folder_.c_str(), 0555);
        if (geteuid() == 0) {
            ASSERT_TRUE(SetPermissionOverride(false));
        }
        readOnly_ = true;
    }
    void Writable() {
        if (!readOnly_) return;
        if (geteuid() == 0) SetPermissionOverride(true);
        chmod(folder_.c_str(), 0700);
        chmod(file_.parent_path().c_str(), 0700);
        if (fs::exists(file_)) chmod(file_.c_str(), 0600);
        readOnly_ = false;
    }

private:
    // Lays down (or takes up again) the capabilities that let root ignore file permissions.
    static bool SetPermissionOverride(bool on) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) != 0) return false;
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
            const auto bit = 1u << (cap % 32);
            if (on)
                data[cap / 32].effective |= bit & data[cap / 32].permitted;
            else
                data[cap / 32].effective &= ~bit;
        }
        return syscall(SYS_capset, &header, data) == 0;
    }

    fs::path folder_;
    fs::path file_;
    std::optional<std::string> oldEnv_;
    bool readOnly_ = false;
};

} // namespace pwtest
