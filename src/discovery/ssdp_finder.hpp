#ifndef GLOWRIG_DISCOVERY_SSDP_FINDER_HPP_
#define GLOWRIG_DISCOVERY_SSDP_FINDER_HPP_

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "discovery/device.hpp"

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

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

// Receives the results of one search, on the thread running the search.
// REQUIRES: implementations do not throw.
class DeviceFinderCallback {
public:
    virtual ~DeviceFinderCallback() = default;

    // A root device answered the search; called once per distinct description.
    virtual void device_added(const Device& device) = 0;

    // The search is over: called exactly once per started search, after every
    // device_added of it, unless the search is cancelled first.
    virtual void search_complete() = 0;
};

// Finds UPnP devices with an SSDP search: sends M-SEARCH twice, about 100 ms
// apart, to the configured address (with multicast hops 2 when it is the
// multicast group), collects replies for the window, fetches each distinct
// http LOCATION once (numeric hosts only) and reports the root device of every
// description that reads well. A search ends at the latest one fetch time-out
// after its window has closed.
//
// Runs on the io_context it is given: every call and every callback happen on
// the thread running it. Destroying the finder cancels its search; it may be
// destroyed from a callback.
class SsdpDeviceFinder {
public:
    SsdpDeviceFinder(boost::asio::io_context& io, SsdpSettings settings);
    ~SsdpDeviceFinder();

    SsdpDeviceFinder(const SsdpDeviceFinder&) = delete;
    SsdpDeviceFinder& operator=(const SsdpDeviceFinder&) = delete;

    // Starts the search for `search_target` (for example "upnp:rootdevice")
    // whose results go to `callback`, which the search keeps until it ends:
    // opens the socket and sends the first search before it returns. Throws
    // std::invalid_argument for a null callback or a target that is empty or
    // holds a line break, and Discovery::SearchFailure (a std::system_error)
    // when the socket cannot be opened, bound or sent from. A finder searches
    // once: starting it again does nothing.
    void start(const std::string& search_target, std::shared_ptr<DeviceFinderCallback> callback);

    // Stops the search: no callback of it runs any more. Nothing when no
    // search runs.
    void cancel();

private:
    struct Search;

    boost::asio::io_context& m_io;
    const SsdpSettings m_settings;
    bool m_started = false;
    std::weak_ptr<Search> m_search;  // owned by its pending operations
};

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_SSDP_FINDER_HPP_
