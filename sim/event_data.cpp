#include "sim/event_data.hpp"

#include <ctime>

#include <openssl/evp.h>

#include "json/text.hpp"

namespace Sim {
namespace {

using Json::Value;

// The collections reported on, the id_v1 prefix of their items and the kind
// the stream gives those items, in the order resources are listed.
struct Collection {
    const char* name;
    const char* kind;
};
constexpr Collection kCollections[] = {
    {"lights", "light"},
    {"groups", "grouped_light"},
    {"sensors", "sensor"},
};

constexpr const char* kTypes[] = {"update", "add", "delete"};

const Value& items_of(const Value& collections, const char* name) {
    static const Value kNone = Value::object();
    const Value* items = Json::find(collections, name);
    return items != nullptr && items->is_object() ? *items : kNone;
}

std::string creation_time(std::int64_t unix_seconds) {
    const auto seconds = static_cast<std::time_t>(unix_seconds);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

Value watched_collections(const Value& state) {
    Value collections = Value::object();
    for (const Collection& c : kCollections) collections[c.name] = items_of(state, c.name);
    return collections;
}

std::vector<ResourceChange> resource_changes(const Value& before, const Value& after) {
    std::vector<ResourceChange> changes;
    for (const char* type : kTypes) {
        const std::string kind_of_change = type;
        for (const Collection& c : kCollections) {
            const Value& old_items = items_of(before, c.name);
            const Value& new_items = items_of(after, c.name);
            // Added items are found in the new collection, the others in the old.
            const Value& scanned = kind_of_change == "add" ? new_items : old_items;
            const Value& other = kind_of_change == "add" ? old_items : new_items;
            for (const auto& [id, item] : Json::as_object(scanned)) {
                const Value* counterpart = Json::find(other, id);
                const bool wanted = kind_of_change == "update"
                                        ? counterpart != nullptr && *counterpart != item
                                        : counterpart == nullptr;
                if (wanted) {
                    changes.push_back({type, c.kind, "/" + std::string(c.name) + "/" + id});
                }
            }
        }
    }
    return changes;
}

std::string event_data(const std::vector<ResourceChange>& changes, std::int64_t unix_seconds,
                       const std::string& event_id) {
    const std::string created = creation_time(unix_seconds);
    Value containers = Value::array();
    for (const ResourceChange& change : changes) {
        if (containers.empty() || containers.back()["type"] != change.type) {
            Value container = Value::object();
            container["creationtime"] = created;
            container["data"] = Value::array();
            container["id"] = uuid_from(event_id + "/" + change.type);
            container["type"] = change.type;
            containers.push_back(std::move(container));
        }
        if (change.items.is_array() && !change.items.empty()) {
            for (const Value& item : change.items) containers.back()["data"].push_back(item);
            continue;
        }
        Value resource = Value::object();
        resource["id"] = uuid_from(change.id_v1);
        resource["id_v1"] = change.id_v1;
        resource["type"] = change.kind;
        containers.back()["data"].push_back(std::move(resource));
    }
    return Json::text(containers);
}

std::string uuid_from(const std::string& name) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(name.data(), name.size(), digest, &size, EVP_sha256(), nullptr);
    digest[6] = static_cast<unsigned char>((digest[6] & 0x0f) | 0x80);  // version 8
    digest[8] = static_cast<unsigned char>((digest[8] & 0x3f) | 0x80);  // variant 10
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 0x0f];
    }
    return text;
}

}  // namespace Sim
