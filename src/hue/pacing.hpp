#ifndef GLOWRIG_HUE_PACING_HPP_
#define GLOWRIG_HUE_PACING_HPP_

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace Hue {

class Client;

// What a command changes: one light, or every light of a group at once.
enum class Command { light, group };

// How far apart commands of one kind go to one bridge: a bridge takes about
// ten light commands and one group command a second and drops what comes
// quicker.
constexpr std::chrono::milliseconds kLightSpacing(100);
constexpr std::chrono::milliseconds kGroupSpacing(1000);

// Spaces the light and the group commands sent to each bridge by waiting
// before one that would come too soon after the end of the one before it of
// its kind. Light and group commands are spaced apart independently.
class Pacer {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    using Sleep = std::function<void(Clock::duration)>;

    // A pacer on the steady clock that sleeps the thread.
    Pacer();
    // A pacer on the clock `now` that waits with `sleep`.
    Pacer(Now now, Sleep sleep);

    // Waits until a command of `kind` may go to the bridge `bridge` names and
    // notes that one goes now; returns how long it waited.
    Clock::duration wait(const std::string& bridge, Command kind);

    // Notes that a command of `kind` to `bridge` has ended (its reply came or
    // it failed): the next one is spaced from now, so that the bridge sees
    // them apart however long this one was on its way.
    void ended(const std::string& bridge, Command kind) { m_last[{bridge, kind}] = m_now(); }

    // Forgets every command sent.
    void forget() { m_last.clear(); }

private:
    Now m_now;
    Sleep m_sleep;
    std::map<std::pair<std::string, Command>, Clock::time_point> m_last;
};

// The pacer of this run's commands.
Pacer& pacer();

// Sends a command of `kind` to the bridge at `host` (its address) with
// `send`, paced by the run's pacer.
void paced(const std::string& host, Command kind, const std::function<void()>& send);

// Sends a command of `kind` to the bridge `client` sends to with `send`,
// paced by the run's pacer.
void paced(const Client& client, Command kind, const std::function<void()>& send);

// Ends the run's pacing: the next run's first commands go at once.
void end_pacing();

}  // namespace Hue

#endif  // GLOWRIG_HUE_PACING_HPP_
