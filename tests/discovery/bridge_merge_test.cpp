#include "discovery/bridge_merge.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace Discovery {
namespace {

using Hue::Scheme;

Sighting lan(const std::string& id, const std::string& ip, unsigned short port = 80,
             Scheme scheme = Scheme::Http) {
    return {Hue::Bridge(id, {.scheme = scheme, .host = ip, .port = port}), true};
}

Sighting portal(const std::string& id, const std::string& ip, const std::string& mac,
                unsigned short port = 80, Scheme scheme = Scheme::Http) {
    return {Hue::Bridge(id, {.scheme = scheme, .host = ip, .port = port}, mac), false};
}

// "id ip:port scheme mac" for each bridge.
std::vector<std::string> rows(const std::vector<Hue::Bridge>& bridges) {
    std::vector<std::string> text;
    for (const auto& b : bridges) {
        text.push_back(b.id() + " " + b.endpoint().host + ":" + std::to_string(b.endpoint().port) +
                       (b.endpoint().scheme == Scheme::Https ? " https " : " http ") + b.mac());
    }
    return text;
}

TEST(MergeBridges, OneRowPerIdAtTheBestAddress) {
    struct Case {
        const char* what;
        std::vector<Sighting> sightings;
        std::vector<std::string> rows;
    } cases[] = {
        {"the LAN's address over the portal's, the portal's MAC kept",
         {portal("0200AA", "10.0.0.2", "m1"), lan("0200aa", "10.0.0.9", 8080)},
         {"0200aa 10.0.0.9:8080 http m1"}},
        {"HTTPS over plain HTTP on the LAN",
         {lan("b1", "10.0.0.3"), lan("B1", "10.0.0.3", 443, Scheme::Https)},
         {"B1 10.0.0.3:443 https "}},
        {"the LAN over the portal's HTTPS",
         {portal("b1", "10.0.0.2", "m", 443, Scheme::Https), lan("b1", "10.0.0.3")},
         {"b1 10.0.0.3:80 http m"}},
        {"the first of equals",
         {lan("b1", "10.0.0.4"), lan("b1", "10.0.0.5")},
         {"b1 10.0.0.4:80 http "}},
        {"ordered by id, case aside, whatever came first",
         {lan("c", "10.0.0.1"), portal("B", "10.0.0.2", ""), lan("a", "10.0.0.3")},
         {"a 10.0.0.3:80 http ", "B 10.0.0.2:80 http ", "c 10.0.0.1:80 http "}},
        {"no id: never merged",
         {lan("", "10.0.0.7"), lan("", "10.0.0.7"), lan("x", "10.0.0.7")},
         {" 10.0.0.7:80 http ", " 10.0.0.7:80 http ", "x 10.0.0.7:80 http "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rows, rows(merge_bridges(c.sightings)));
    }
}

}  // namespace
}  // namespace Discovery
