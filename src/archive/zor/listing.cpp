#include "archive/zor/listing.h"

#include <mutex>
#include <set>

#include "archive/zor/win_extract_target.h"
#include "archive/zor/win_text.h"

namespace qv::zor {
namespace {

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::set<Listing*>& Registry() {
    static std::set<Listing*> live;
    return live;
}

}  // namespace

std::unique_ptr<Listing> ListEntries(const std::vector<sevenzip::Entry>& entries) {
    auto listing = std::make_unique<Listing>();
    for (const sevenzip::Entry& e : entries) {
        if (e.isAnti) continue;
        listing->names.push_back(ListedName(e.path));
        ZorArchiveEntry record{};
        record.size = e.size;
        record.packedSize = e.packedSize;
        record.modifiedLow = static_cast<std::uint32_t>(e.modified.value_or(0));
        record.modifiedHigh = static_cast<std::uint32_t>(e.modified.value_or(0) >> 32);
        record.attributes = WindowsAttributes(e);
        listing->records.push_back(record);
    }
    // The names no longer move: point the records at them.
    for (std::size_t i = 0; i < listing->records.size(); ++i) listing->records[i].path = listing->names[i].c_str();
    return listing;
}

std::intptr_t RegisterListing(std::unique_ptr<Listing> listing) {
    const std::lock_guard<std::mutex> guard(RegistryLock());
    Registry().insert(listing.get());
    return reinterpret_cast<std::intptr_t>(listing.release());
}

void ReleaseListing(std::intptr_t handle) {
    Listing* listing = reinterpret_cast<Listing*>(handle);
    {
        const std::lock_guard<std::mutex> guard(RegistryLock());
        if (Registry().erase(listing) == 0) return;
    }
    delete listing;
}

}  // namespace qv::zor
