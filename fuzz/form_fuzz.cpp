// Dialog files arrive with the setup's resources: any bytes must either read
// or fail with a FormError, and what reads must write back to the same tree
// and show as text without crashing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "wizard/form_file.h"
#include "wizard/form_properties.h"

namespace {

void Visit(const qv::FormObject& object) {
    for (const qv::FormProperty& property : object.properties) qv::PropertyText(object, property.name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qv::FormObject root;
    try {
        root = qv::ReadForm(bytes);
    } catch (const qv::FormError&) {
        return 0;
    }
    if (qv::ReadForm(qv::WriteForm(root)) != root) std::abort();
    std::string resource;
    try {
        resource = qv::WriteFormResource(root);
    } catch (const qv::FormError&) {
        // A class name that cannot name a resource; the bare stream is checked above.
    }
    if (!resource.empty() && qv::ReadForm(resource) != root) std::abort();
    qv::FormToText(root);
    Visit(root);
    for (const qv::FormObject* component : qv::Components(root)) Visit(*component);
    return 0;
}
