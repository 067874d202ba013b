// The variable list form comes back from plug-ins: reading any text must not
// crash, and writing what was read must read back to the same items.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/variable_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> items = qv::DecodeList(text);
    if (qv::DecodeList(qv::EncodeList(items)) != items && !items.empty()) {
        // An empty last item and an empty list are the one ambiguity of the format.
        if (!(items.size() == 1 && items[0].empty())) std::abort();
    }
    qv::VariableStore store;
    store.SetListText(text);
    store.ExpandText(text);
    return 0;
}
