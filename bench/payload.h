// The benchmark's payload: about 150 MB of the kinds of files setups carry,
// made the same way on every run from the files of this machine and from
// generated text.
#pragma once

#include <cstdint>
#include <filesystem>

namespace qv::bench {

// Fills folder (created when missing) and returns the bytes written; a
// folder that already holds a finished payload is kept as it is.
std::uint64_t MakePayload(const std::filesystem::path& folder);

}  // namespace qv::bench
