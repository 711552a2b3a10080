#ifndef GLOWRIG_COMMANDS_BRIDGE_ERROR_ADVICE_HPP_
#define GLOWRIG_COMMANDS_BRIDGE_ERROR_ADVICE_HPP_

#include <functional>
#include <stdexcept>
#include <string>

#include "access/bridge_selection.hpp"

namespace Commands {

// A failure and, on a line of its own, what the user can do about it. The
// entry prints what() as it prints every failure, then the advice on
// standard error.
class AdvisedFailure : public std::runtime_error {
public:
    AdvisedFailure(const std::string& failure, std::string advice)
        : std::runtime_error(failure), m_advice(std::move(advice)) {}

    const std::string& advice() const { return m_advice; }

private:
    std::string m_advice;
};

// The line that tells the user glowrig is not authorised on `target`'s bridge
// and how to authorise it (press the link button, then "config --auth").
std::string unauthorised_advice(const Access::Target& target);

// Runs `command`, which talks to `target`. A bridge error a user can act on
// leaves it as an AdvisedFailure with the bridge's error line unchanged: not
// authorised (press the link button, then "config --auth") and link button
// not pressed (press it, then run the command again). Everything else passes
// unchanged.
void run_with_advice(const Access::Target& target, const std::function<void()>& command);

// Runs `remove`, the deletion of the `what` (group, schedule) `id`. A bridge
// that refuses it because it has no such item leaves an AdvisedFailure that
// says so.
void remove_with_advice(const char* what, const std::string& id,
                        const std::function<void()>& remove);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_BRIDGE_ERROR_ADVICE_HPP_
