#include "discovery/mdns_finder.hpp"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "sim/mdns_responder.hpp"
#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"
#include "support/process.hpp"

namespace Discovery {
namespace {

using std::chrono::milliseconds;

// The settings that send the query to `responder`.
MdnsSettings aimed_at(const Sim::MdnsResponder& responder) {
    MdnsSettings settings;
    settings.address = "127.0.0.1";
    settings.port = responder.port();
    settings.config_timeout = milliseconds(1000);
    return settings;
}

// Runs one search on an io_context of its own, in this thread, and returns
// the bridges it found; fails the test unless it completes exactly once,
// without a thread of its own.
std::vector<Hue::Bridge> search(const MdnsSettings& settings, milliseconds window) {
    boost::asio::io_context io;
    std::optional<std::vector<Hue::Bridge>> found;
    const std::size_t threads = TestingSupport::running_threads();
    find_mdns_bridges(io, settings, window, [&](std::vector<Hue::Bridge> bridges) {
        EXPECT_FALSE(found) << "completed twice";
        EXPECT_EQ(threads, TestingSupport::running_threads());
        found = std::move(bridges);
    });
    io.run();
    EXPECT_TRUE(found) << "never completed";
    return found.value_or(std::vector<Hue::Bridge>());
}

TEST(MdnsFinder, AnswersBecomeBridgesAndAnIdComesFromTheConfiguration) {
    // A bridge that tells its id only in its configuration, over TLS on a
    // port of its own, as bridges announce their HTTPS port.
    Sim::Server server;
    const auto bridge = std::make_shared<Sim::SimBridge>(
        Json::parse(R"({"state": {"config": {"name": "Hall", "bridgeid": "0200AAFFFE0A1B2C"}}})"));
    server.add("127.0.0.1", 0, bridge, Sim::Transport::tls);
    server.open();
    const unsigned short port = server.port(0);
    Sim::MdnsResponder responder({
        {"Secure", "secure", "192.0.2.7", 443, "0200aafffe000001", "M3"},
        {"Other port", "other", "192.0.2.8", 8443, "0200aafffe000002", ""},
        {"Plain", "plain", "192.0.2.9", 80, "0200aafffe000003", ""},
        {"No id", "noid", "127.0.0.1", port, "", ""},     // read from its configuration
        {"No id, gone", "gone", "127.0.0.9", 9, "", ""},  // nothing answers there
    });
    responder.start();
    const auto bridges = search(aimed_at(responder), milliseconds(200));
    ASSERT_EQ(4u, bridges.size());
    EXPECT_EQ("0200aafffe000001", bridges[0].id());
    EXPECT_EQ("192.0.2.7", bridges[0].endpoint().host);
    EXPECT_EQ("", bridges[0].mac());
    // Every port but 80 is HTTPS.
    const Hue::Scheme schemes[] = {Hue::Scheme::Https, Hue::Scheme::Https, Hue::Scheme::Http,
                                   Hue::Scheme::Https};
    for (std::size_t n = 0; n < 4; ++n) EXPECT_EQ(schemes[n], bridges[n].endpoint().scheme) << n;
    EXPECT_EQ(port, bridges[3].endpoint().port);
    EXPECT_EQ("0200AAFFFE0A1B2C", bridges[3].id());
    EXPECT_EQ("127.0.0.1", bridges[3].endpoint().host);
    EXPECT_EQ(2u, responder.queries());  // the query and its repetition
}

TEST(MdnsFinder, EndsWithTheWindowWhenNothingAnswers) {
    Sim::MdnsResponder responder({});
    responder.start();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(search(aimed_at(responder), milliseconds(300)).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, milliseconds(300 + 300));
    EXPECT_GE(responder.queries(), 1u);
}

TEST(MdnsFinder, BrokenAnswersFindNothing) {
    const std::string sound =
        Sim::mdns_answer(mdns_query(0), {{"Hall", "hall", "192.0.2.7", 80, "id1", ""}});
    Sim::MdnsResponder responder({});
    responder.set_replies({"garbage", sound.substr(0, sound.size() - 3),
                           std::string{0, 0, '\x84', 0, 0, 0, 0, 1, 0, 0, 0, 0, '\xc0', '\x0c'},
                           sound + std::string(kMdnsMessageLimit, 'x')});
    responder.start();
    EXPECT_TRUE(search(aimed_at(responder), milliseconds(200)).empty());

    // The control: the same answer, whole, is a bridge.
    responder.set_replies({sound});
    EXPECT_EQ(1u, search(aimed_at(responder), milliseconds(200)).size());
}

// Answers count only from the address and port asked (RFC 6762 §6: a
// response comes from the port the query went to).
TEST(MdnsFinder, AnswersFromAnotherPortAreIgnored) {
    boost::asio::io_context io;
    using boost::asio::ip::udp;
    udp::socket asked(io, udp::endpoint(boost::asio::ip::make_address("127.0.0.1"), 0));
    udp::socket other(io, udp::endpoint(boost::asio::ip::make_address("127.0.0.1"), 0));
    MdnsSettings settings;
    settings.address = "127.0.0.1";
    settings.port = asked.local_endpoint().port();
    for (udp::socket* from : {&other, &asked}) {
        SCOPED_TRACE(from == &asked ? "the port asked" : "another port");
        boost::asio::io_context search_io;
        std::size_t found = 99;
        find_mdns_bridges(search_io, settings, milliseconds(300),
                          [&found](std::vector<Hue::Bridge> bridges) { found = bridges.size(); });
        // The first query is out before the search runs.
        std::string query(512, '\0');
        udp::endpoint querier;
        query.resize(asked.receive_from(boost::asio::buffer(query), querier));
        const std::string answer =
            Sim::mdns_answer(query, {{"Hall", "hall", "192.0.2.7", 80, "id1", ""}});
        from->send_to(boost::asio::buffer(answer), querier);
        search_io.run();
        EXPECT_EQ(from == &asked ? 1u : 0u, found);
        boost::system::error_code ignored;
        char repeat[512];  // the query's repetition
        while (asked.available(ignored) > 0) asked.receive(boost::asio::buffer(repeat));
    }
}

// A query that cannot be sent fails at once with a line naming the cause.
TEST(MdnsFinder, FailsAtOnceWhenNoQueryCanBeSent) {
    MdnsSettings settings;
    // The loopback's broadcast address: every loopback has it, and it refuses
    // a socket that has not asked to broadcast, whatever other network there is.
    settings.address = "127.255.255.255";
    boost::asio::io_context io;
    bool completed = false;
    try {
        find_mdns_bridges(io, settings, milliseconds(200),
                          [&completed](std::vector<Hue::Bridge>) { completed = true; });
        FAIL() << "sent to the broadcast address";
    } catch (const std::system_error& e) {
        EXPECT_EQ(std::string("Error: cannot send the mDNS query to 127.255.255.255:5353: "
                              "permission denied."),
                  e.what());
    }
    io.run();
    EXPECT_FALSE(completed);
}

}  // namespace
}  // namespace Discovery
