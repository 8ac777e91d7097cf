#pragma once
// Czech book titles as a school library has them: capitalised, one to six words, built from a
// few common shapes ("Tajemný ostrov", "Drak a princezna", "Pohádky z Krkonoš", series volumes).

#include <random>
#include <string>

namespace bench {

// One title; the same generator state gives the same title.
std::string BookTitle(std::mt19937& random);

} // namespace bench
