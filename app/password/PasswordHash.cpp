#include "app/password/PasswordHash.h"

#include <sodium.h>

namespace password {
namespace {

bool CryptoReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// Holds the normalised password and wipes it when done.
class Secret {
public:
    explicit Secret(std::string_view typed) : text_(Normalise(typed)) {}
    ~Secret() { sodium_memzero(text_.data(), text_.size()); }
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;
    const char* data() const { return text_.data(); }
    unsigned long long size() const { return text_.size(); }

private:
    std::string text_;
};

} // namespace

std::string Normalise(std::string_view typed) {
    std::string out(typed);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::optional<std::string> Hash(std::string_view typed) {
    if (!CryptoReady()) return std::nullopt;
    const Secret secret(typed);
    char out[crypto_pwhash_STRBYTES] = {};
    if (crypto_pwhash_str(out, secret.data(), secret.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        return std::nullopt;
    }
    return std::string(out);
}

bool Verify(std::string_view stored, std::string_view typed) {
    if (!CryptoReady()) return false;
    // The library wants a terminated string that fits its buffer; anything longer is no hash.
    if (stored.empty() || stored.size() >= crypto_pwhash_STRBYTES) return false;
    const std::string hash(stored);
    const Secret secret(typed);
    return crypto_pwhash_str_verify(hash.c_str(), secret.data(), secret.size()) == 0;
}

} // namespace password
