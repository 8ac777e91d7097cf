#pragma once
// The loan archive's bulk work on the table files of the working folder: the returned loans to
// walk, moving a run of them into the archive in one transaction, and the distinct names the
// archive search offers. Each works in SQL over the attached files, so a batch of thousands of
// loans takes milliseconds; the datasets over these files re-read when next used.

#include "platform/data/Value.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace maintenance {

// Record numbers (rowids) of the returned loans, ascending: the loans a run walks, as the loans
// dataset shows them under "VracenoB='True'".
std::vector<std::int64_t> ReturnedLoans();

// Moves the returned loans loans[from, from + count) into the archive, in one transaction: each
// archived loan becomes one archive record with the reader's name, the book's code and title looked
// up at this moment, and leaves the loans table. With `upTo`, only loans returned on that day or
// earlier go; the others stay. Answers how many were archived. On a failure nothing of the batch
// is kept and the error goes on. `work`, when given, receives the time the batch took before its
// commit.
int ArchiveLoans(const std::vector<std::int64_t>& loans, std::size_t from, std::size_t count,
                 std::optional<data::TDateTime> upTo, std::chrono::steady_clock::duration* work = nullptr);

// The texts of one archive column (Ctenar, Kniha) each once, letter case ignored, in Czech
// alphabetical order; the first spelling met in that order stands for the others.
std::vector<std::string> ArchiveTexts(const std::string& column);

} // namespace maintenance
