#include "json_fields.h"

#include "kit_error.h"

namespace qv::kit {

namespace {
const nlohmann::json kEmptyArray = nlohmann::json::array();
const nlohmann::json kEmptyObject = nlohmann::json::object();
}

JsonFields::JsonFields(const nlohmann::json& object, std::string where) : object_(object), where_(std::move(where)) {
    if (!object_.is_object()) throw KitError(where_ + " must be a JSON object");
}

bool JsonFields::has(const char* key) const { return object_.contains(key); }

const nlohmann::json* JsonFields::field(const char* key) {
    used_.insert(key);
    auto it = object_.find(key);
    return it == object_.end() ? nullptr : &*it;
}

std::string JsonFields::text(const char* key, const std::string& fallback) {
    const nlohmann::json* f = field(key);
    if (!f) return fallback;
    if (!f->is_string()) throw KitError(where_ + ": \"" + key + "\" must be a text");
    return f->get<std::string>();
}

bool JsonFields::boolean(const char* key, bool fallback) {
    const nlohmann::json* f = field(key);
    if (!f) return fallback;
    if (!f->is_boolean()) throw KitError(where_ + ": \"" + key + "\" must be true or false");
    return f->get<bool>();
}

std::int64_t JsonFields::integer(const char* key, std::int64_t fallback) {
    const nlohmann::json* f = field(key);
    if (!f) return fallback;
    if (!f->is_number_integer()) throw KitError(where_ + ": \"" + key + "\" must be a whole number");
    if (f->is_number_unsigned() && f->get<std::uint64_t>() > std::uint64_t(INT64_MAX))
        throw KitError(where_ + ": \"" + key + "\" is too large");
    return f->get<std::int64_t>();
}

const nlohmann::json& JsonFields::array(const char* key) {
    const nlohmann::json* f = field(key);
    if (!f) return kEmptyArray;
    if (!f->is_array()) throw KitError(where_ + ": \"" + key + "\" must be a list");
    return *f;
}

const nlohmann::json& JsonFields::object(const char* key) {
    const nlohmann::json* f = field(key);
    if (!f) return kEmptyObject;
    if (!f->is_object()) throw KitError(where_ + ": \"" + key + "\" must be a JSON object");
    return *f;
}

void JsonFields::finish() const {
    for (const auto& item : object_.items())
        if (!used_.count(item.key())) throw KitError(where_ + ": unknown key \"" + item.key() + "\"");
}

}  // namespace qv::kit
