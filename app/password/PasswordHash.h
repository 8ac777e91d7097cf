#pragma once
// The start-up password is kept only as a salted, slow hash (libsodium's crypto_pwhash_str text),
// never in a form that gives the password back. Letter case of the ASCII letters A to Z is
// ignored; every other character, accented capitals included, counts as typed.

#include <optional>
#include <string>
#include <string_view>

namespace password {

// The text that is hashed: ASCII capitals A to Z lowered, all other bytes unchanged.
std::string Normalise(std::string_view typed);

// The stored form of a typed password. Empty when the hash could not be computed (the crypto
// library failed to start or the memory for the hash was not available); nothing may be stored
// then.
std::optional<std::string> Hash(std::string_view typed);

// True exactly when the typed password is the one whose stored form is given. A stored text
// that is no hash of ours (empty, damaged, another format) matches no password.
bool Verify(std::string_view stored, std::string_view typed);

} // namespace password
