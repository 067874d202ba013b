// The listing that OpenListArchive hands out: the entry records and the
// names they point to, owned by the handle until CloseListArchive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/sevenzip/archive_model.h"
#include "archive/zor_api.h"

namespace qv::zor {

struct Listing {
    std::vector<std::string> names;
    std::vector<ZorArchiveEntry> records;
};

// Every entry but the anti entries, in archive order.
std::unique_ptr<Listing> ListEntries(const std::vector<sevenzip::Entry>& entries);

// Handles are the listings' addresses; only handles given out and not yet
// released are accepted, so a stale or made-up handle is ignored.
std::intptr_t RegisterListing(std::unique_ptr<Listing> listing);
void ReleaseListing(std::intptr_t handle);

}  // namespace qv::zor
