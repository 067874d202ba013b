// Typed, strict access to one JSON object of a project description: every
// field has one type, and a key the kit does not know is an error (a typing
// mistake in a key must not silently drop a setting).
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

namespace qv::kit {

class JsonFields {
public:
    // `where` names the object in messages, e.g. "product" or "command 3".
    JsonFields(const nlohmann::json& object, std::string where);

    bool has(const char* key) const;
    // Texts are returned as written (UTF-8).
    std::string text(const char* key, const std::string& fallback = {});
    bool boolean(const char* key, bool fallback);
    std::int64_t integer(const char* key, std::int64_t fallback);
    // The array under key, or an empty one when the key is absent.
    const nlohmann::json& array(const char* key);
    // The object under key, or an empty one when the key is absent.
    const nlohmann::json& object(const char* key);
    // Throws for the first key that no accessor asked for.
    void finish() const;

    const std::string& where() const { return where_; }
    void setWhere(std::string where) { where_ = std::move(where); }

private:
    const nlohmann::json* field(const char* key);

    const nlohmann::json& object_;
    std::string where_;
    std::set<std::string> used_;
};

}  // namespace qv::kit
