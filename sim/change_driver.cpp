#include "sim/change_driver.hpp"

#include <chrono>
#include <iterator>

#include "json/value.hpp"
#include "sim/sim_bridge.hpp"
#include "sim/sim_thread.hpp"

namespace Sim {
namespace {

constexpr int kLowest = 1;
constexpr int kHighest = 254;

// The brightness after `current` in kLowest..kHighest, round and round.
int next_brightness(const Json::Value* current) {
    if (current == nullptr || !Json::is_integer(*current)) return kLowest;
    const std::int64_t value = Json::as_int64(*current);
    return value >= kLowest && value < kHighest ? static_cast<int>(value) + 1 : kLowest;
}

}  // namespace

ChangeDriver::ChangeDriver(std::shared_ptr<SimBridge> bridge, ChangePlan plan)
    : m_bridge(std::move(bridge)), m_plan(plan) {
    m_thread = sim_thread([this] { run(); });
}

ChangeDriver::~ChangeDriver() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_stopping.notify_all();
    m_thread.join();
}

void ChangeDriver::run() {
    using Clock = std::chrono::steady_clock;
    while (m_plan.when_watched && m_bridge->open_streams() == 0) {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto look_again = std::chrono::milliseconds(10);
        if (m_stopping.wait_for(lock, look_again, [this] { return m_stop; })) return;
    }
    const Clock::time_point start = Clock::now();
    const std::chrono::duration<double> period(1.0 / m_plan.per_second);
    const auto end = start + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(m_plan.seconds));
    for (long made = 0; m_plan.count == 0 || made < m_plan.count; ++made) {
        if (m_plan.seconds > 0 && Clock::now() >= end) return;
        // Each change is due at its place on the schedule, not a period after
        // the last one, so that the time a change takes does not add up.
        const auto due = start + std::chrono::duration_cast<Clock::duration>(period * made);
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_stopping.wait_until(lock, due, [this] { return m_stop; })) return;
        }
        bool changed = false;
        m_bridge->update([made, &changed](Json::Value& state) {
            Json::Value* lights =
                state.is_object() && Json::has(state, "lights") ? &state["lights"] : nullptr;
            if (lights == nullptr || !lights->is_object() || lights->empty()) return;
            auto light = lights->begin();
            std::advance(light, made % static_cast<long>(lights->size()));
            if (!light->is_object()) return;
            Json::Value& light_state = (*light)["state"];
            if (!light_state.is_object()) light_state = Json::Value::object();
            light_state["bri"] = next_brightness(Json::find(light_state, "bri"));
            light_state["on"] = true;
            changed = true;
        });
        if (changed) ++m_changes;
    }
}

}  // namespace Sim
