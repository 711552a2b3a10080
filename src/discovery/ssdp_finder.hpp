#ifndef GLOWRIG_DISCOVERY_SSDP_FINDER_HPP_
#define GLOWRIG_DISCOVERY_SSDP_FINDER_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "discovery/device.hpp"

namespace UPnP {

// Where and how long an SSDP search looks.
struct SsdpSettings {
    std::string address = "239.255.255.250";  // numeric IPv4 or IPv6 address
    unsigned short port = 1900;
    std::chrono::milliseconds window{3000};  // how long replies are collected
    std::chrono::milliseconds fetch_timeout{3000};
    std::size_t description_cap = std::size_t{256} * 1024;  // bytes of one description
    std::size_t max_locations = 64;  // distinct descriptions fetched per search
};

// Receives the results of one find. The finder calls these on its own thread,
// one at a time. REQUIRES: implementations do not throw.
class DeviceFinderCallback {
public:
    virtual ~DeviceFinderCallback() = default;

    // A root device answered the search; called once per distinct description.
    virtual void device_added(const Device& device) = 0;

    // A device announced its departure. (SSDP searches never report one.)
    virtual void device_removed(const std::string& unique_device_name) = 0;

    // The search is over: called exactly once per started find, after every
    // device_added of it, unless the find is cancelled first.
    virtual void search_complete() = 0;
};

// Finds UPnP devices with SSDP searches: sends M-SEARCH twice, about 100 ms
// apart, to the configured address (with multicast hops 2 when it is the
// multicast group), collects replies for the window, fetches each distinct
// http LOCATION once (numeric hosts only) and reports the root device of every
// description that reads well. A search ends at the latest one fetch time-out
// after its window has closed.
//
// Owns one thread, on which every callback runs. Safe for concurrent use from
// several threads. Destroying the finder cancels its finds and joins its
// thread; it may be destroyed on any thread, including from a callback.
class SsdpDeviceFinder {
public:
    // Identifies one find of this finder.
    using FindHandle = std::uint64_t;

    explicit SsdpDeviceFinder(SsdpSettings settings);
    ~SsdpDeviceFinder();

    SsdpDeviceFinder(const SsdpDeviceFinder&) = delete;
    SsdpDeviceFinder& operator=(const SsdpDeviceFinder&) = delete;

    // Prepares a find for `search_target` (for example "upnp:rootdevice")
    // whose results go to `callback`; the finder keeps a reference to it.
    // Throws std::invalid_argument for a null callback or a target holding a
    // line break.
    FindHandle create_async_find(const std::string& search_target,
                                 std::shared_ptr<DeviceFinderCallback> callback);

    // Starts the find: opens the socket and sends the first search before it
    // returns. Throws Discovery::SearchFailure (a std::system_error) when the
    // socket cannot be opened, bound or sent from, and std::invalid_argument
    // for an unknown or cancelled handle. Starting a find a second time does
    // nothing.
    void start_async_find(FindHandle find);

    // Stops the find and forgets it. Once this returns, no callback of the
    // find runs any more (unless it is called from that find's own callback).
    // Unknown handles are ignored.
    void cancel_async_find(FindHandle find);

private:
    struct Impl;
    std::shared_ptr<Impl> m_impl;  // never null; shared with the finder's thread
};

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_SSDP_FINDER_HPP_
