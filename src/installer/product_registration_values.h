// The texts of the product's registration: the registry keys, the values of
// its entry in the system's list of installed programs, the cache folder's
// file names and the folder a cache that is still in use moves to.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "bootstrap/package.h"

namespace qv {

std::string UninstallKey(const std::string& title);
std::string IdentCacheKey(const std::string& productCode);

// Name and data of every string value of the uninstall entry, in writing
// order. `cachedSetup` is the setup's copy in the product cache.
std::vector<std::pair<std::string, std::string>> UninstallEntryValues(const std::string& cachedSetup,
                                                                       const std::string& title,
                                                                       const SetupScript& script);

// The values of the uninstall entry that package managers and administrators
// read, in writing order: the quiet removal command, then the product's
// version and folder where they are known (an empty one is not written).
std::vector<std::pair<std::string, std::string>> ManagedUninstallValues(const std::string& cachedSetup,
                                                                         const std::string& productVersion,
                                                                         const std::string& installLocation);

// "EstimatedSize": bytes as whole kilobytes rounded up, held to what a
// registry number of 32 bits can show.
std::uint32_t EstimatedSizeKb(std::int64_t bytes);

// "instance.dat": product code, revision code, title, one per line.
std::string InstanceText(const std::string& productCode, const std::string& revisionCode, const std::string& title);

// The parameter log as a file, one entry per line.
std::string ParameterLogText(const std::vector<std::string>& parameterLog);

// The folder beside the cache folder's parent that a cache still in use is
// renamed to: the parent + "~" + N + "\".
std::string RetiredCacheFolder(const std::string& cacheFolder, int n);

}  // namespace qv
