#include "hue/pacing.hpp"

#include <thread>

#include "hue/client.hpp"

namespace Hue {

Pacer::Pacer()
    : Pacer([] { return Clock::now(); },
            [](Clock::duration wait) { std::this_thread::sleep_for(wait); }) {}

Pacer::Pacer(Now now, Sleep sleep) : m_now(std::move(now)), m_sleep(std::move(sleep)) {}

Pacer::Clock::duration Pacer::wait(const std::string& bridge, Command kind) {
    const Clock::duration spacing =
        kind == Command::light ? Clock::duration(kLightSpacing) : Clock::duration(kGroupSpacing);
    Clock::time_point now = m_now();
    Clock::duration waited{0};
    const auto last = m_last.find({bridge, kind});
    if (last != m_last.end() && now < last->second + spacing) {
        waited = last->second + spacing - now;
        m_sleep(waited);
        now = m_now();
    }
    m_last[{bridge, kind}] = now;
    return waited;
}

Pacer& pacer() {
    static Pacer pacer;
    return pacer;
}

void paced(const Client& client, Command kind, const std::function<void()>& send) {
    // One bridge answers on its address whatever the scheme and port.
    paced(client.base().host, kind, send);
}

void paced(const std::string& bridge, Command kind, const std::function<void()>& send) {
    pacer().wait(bridge, kind);
    try {
        send();
    } catch (...) {
        pacer().ended(bridge, kind);
        throw;
    }
    pacer().ended(bridge, kind);
}

void end_pacing() { pacer().forget(); }

}  // namespace Hue
