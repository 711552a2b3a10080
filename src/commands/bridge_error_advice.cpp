#include "commands/bridge_error_advice.hpp"

#include "hue/address.hpp"
#include "hue/bridge_error.hpp"

namespace Commands {

std::string unauthorised_advice(const Access::Target& target) {
    const std::string bridge = Hue::bridge_text(target.bridge.endpoint());
    return "glowrig is not authorised on " + bridge +
           ": press its link button, then run glowrig config --auth --bridge=" + bridge;
}

void run_with_advice(const Access::Target& target, const std::function<void()>& command) {
    try {
        command();
    } catch (const Hue::BridgeError& e) {
        const std::string bridge = Hue::bridge_text(target.bridge.endpoint());
        if (e.type() == Hue::kUnauthorisedUser) {
            throw AdvisedFailure(e.what(), unauthorised_advice(target));
        }
        if (e.type() == Hue::kLinkButtonNotPressed) {
            throw AdvisedFailure(e.what(), "the link button of " + bridge +
                                               " was not pressed: press it, then run this again "
                                               "within 30 s");
        }
        throw;
    }
}

void remove_with_advice(const char* what, const std::string& id,
                        const std::function<void()>& remove) {
    try {
        remove();
    } catch (const Hue::BridgeError& e) {
        if (e.type() != Hue::kResourceNotAvailable) throw;
        throw AdvisedFailure(e.what(), std::string("no ") + what + " with id " + id);
    }
}

}  // namespace Commands
