#ifndef GLOWRIG_HUE_BRIDGE_ERROR_HPP_
#define GLOWRIG_HUE_BRIDGE_ERROR_HPP_

#include <stdexcept>
#include <string>

namespace Hue {

// The kinds of bridge error a user can act on.
constexpr int kUnauthorisedUser = 1;
constexpr int kResourceNotAvailable = 3;
constexpr int kLinkButtonNotPressed = 101;

// A request the bridge answered with an error element such as
// {"error":{"type":1,"address":"/lights","description":"unauthorized user"}}.
// what() is the element's JSON text, as the bridge's error line shows it.
class BridgeError : public std::runtime_error {
public:
    BridgeError(const std::string& element, int type, std::string address)
        : std::runtime_error(element), m_type(type), m_address(std::move(address)) {}

    // The element's "type"; 0 when it holds no integer one.
    int type() const { return m_type; }
    // The element's "address" (the resource it is about); empty when none.
    const std::string& address() const { return m_address; }

private:
    int m_type;
    std::string m_address;
};

}  // namespace Hue

#endif  // GLOWRIG_HUE_BRIDGE_ERROR_HPP_
