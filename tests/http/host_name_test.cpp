#include "http/host_name.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>

namespace Http {
namespace {

// Names whose lookup stays on this machine: the hosts file, and the empty
// name the resolver refuses at once.
TEST(HostNameLookup, AnswersOnTheCallersThreadOnceOrNotAtAllWhenGivenUp) {
    boost::asio::io_context io;
    std::optional<std::vector<std::string>> local, empty, given_up;
    resolve_host_name(io, "localhost", [&](std::vector<std::string> a) { local = a; });
    resolve_host_name(io, "", [&](std::vector<std::string> a) { empty = a; });
    const auto give_up =
        resolve_host_name(io, "localhost", [&](std::vector<std::string> a) { given_up = a; });
    give_up();
    io.run();
    ASSERT_TRUE(local);
    EXPECT_NE(local->end(), std::find(local->begin(), local->end(), "127.0.0.1"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
    EXPECT_FALSE(given_up);
}

}  // namespace
}  // namespace Http
