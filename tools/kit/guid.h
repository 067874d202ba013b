// Identifiers the kit generates. They derive from the project's own texts, so
// building the same project twice gives byte-identical setups.
#pragma once

#include <string>
#include <string_view>

namespace qv::kit {

// A GUID text in braces with upper-case hex digits,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", derived from the seed.
std::string DerivedGuid(std::string_view seed);

// True for a text of that shape (hex digits of either case).
bool IsGuidText(std::string_view text);

}  // namespace qv::kit
