#include "access/interfaces.hpp"

#include <exception>

namespace Access {

void learn_interfaces(const Target& target, const std::string& user_id,
                      const Http::Options& options) {
    if (target.bridge.endpoint().scheme != Http::Scheme::Https) return;
    bool newer = false;
    try {
        newer = Hue::V2::has_newer_interface(target.bridge, user_id, options);
    } catch (const std::exception&) {
        return;
    }
    target.credentials->set_newer(target.bridge, newer);
}

std::optional<Hue::V2::ResourceIndex> newer_resources(const Target& target,
                                                      const Http::Options& options) {
    const auto entry = target.credentials->find_entry(target.bridge);
    if (!entry || !entry->newer) return std::nullopt;
    try {
        return Hue::V2::ResourceIndex::read(target.bridge, target.identity.user_id, options);
    } catch (const Http::Failure& failure) {
        if (failure.status() != 404) throw;
        target.credentials->set_newer(target.bridge, false);
        return std::nullopt;
    }
}

}  // namespace Access
