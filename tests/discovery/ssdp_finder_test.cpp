#include "discovery/ssdp_finder.hpp"

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#include <arpa/inet.h>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "discovery/test_http_server.hpp"
#include "discovery/upnp.hpp"
#include "sim/ssdp_responder.hpp"
#include "support/process.hpp"

namespace UPnP {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr milliseconds kWindow{300};

// Records what a finder reports, from which thread, and how many threads
// the process had meanwhile.
class RecordingCallback : public DeviceFinderCallback {
public:
    void device_added(const Device& device) override {
        m_events.push_back("added " + device.SerialNumber);
        record();
    }
    void search_complete() override {
        m_events.push_back("complete");
        record();
    }

    std::vector<std::string> m_events;
    std::set<std::thread::id> m_threads;
    std::size_t m_most_threads = 0;

private:
    void record() {
        m_threads.insert(std::this_thread::get_id());
        m_most_threads = std::max(m_most_threads, TestingSupport::running_threads());
    }
};

class SsdpFinderTest : public ::testing::Test {
protected:
    // Serves a description of a device with serial number `serial` at `path`
    // and returns its URL.
    std::string serve_device(const std::string& path, const std::string& serial) {
        Sim::DeviceFields fields;
        fields.friendly_name = "Den hue bridge (" + serial + ")";
        fields.manufacturer = "A Philips maker";
        fields.model_number = "929000226503";
        fields.serial_number = serial;
        fields.udn = "uuid:" + serial;
        fields.presentation_url = "index.html";
        m_http.serve(path, Sim::render_description(fields));
        return m_http.url(path);
    }

    // Starts a responder that answers with `replies` (an SSDP reply per URL).
    Sim::SsdpResponder& responder(const std::vector<std::string>& locations) {
        m_responders.push_back(std::make_unique<Sim::SsdpResponder>(""));
        auto& r = *m_responders.back();
        std::vector<std::string> replies;
        for (const auto& location : locations) {
            replies.push_back(Sim::ssdp_reply(location, "uuid:x::upnp:rootdevice"));
        }
        r.set_replies(replies);
        r.start();
        return r;
    }

    static SsdpSettings settings_for(const Sim::SsdpResponder& r) {
        SsdpSettings settings;
        settings.address = "127.0.0.1";
        settings.port = r.port();
        settings.window = kWindow;
        settings.fetch_timeout = milliseconds(500);
        return settings;
    }

    // Starts a search on `io` that keeps what it finds in `found`.
    static void start_search(boost::asio::io_context& io, const SsdpSettings& settings,
                             std::optional<std::vector<Device>>& found) {
        find_upnp_devices(io, settings, [&found](std::vector<Device> devices) {
            EXPECT_FALSE(found) << "completed twice";
            found = std::move(devices);
        });
    }

    // Runs one search for at most `limit`; fails the test unless it completes.
    static std::vector<Device> search_within(const SsdpSettings& settings, milliseconds limit) {
        boost::asio::io_context io;
        std::optional<std::vector<Device>> found;
        start_search(io, settings, found);
        io.run_for(limit);
        EXPECT_TRUE(found) << "the search did not complete within " << limit.count() << " ms";
        return found.value_or(std::vector<Device>());
    }

    static std::multiset<std::string> serials(const std::vector<Device>& devices) {
        std::multiset<std::string> out;
        for (const auto& d : devices) out.insert(d.SerialNumber);
        return out;
    }

    TestSupport::TestHttpServer m_http;
    std::vector<std::unique_ptr<Sim::SsdpResponder>> m_responders;
};

TEST_F(SsdpFinderTest, FindsEveryAnsweringDevice) {
    auto& r = responder({serve_device("/a.xml", "aaa"), serve_device("/b.xml", "bbb")});
    const auto devices = search_within(settings_for(r), milliseconds(3000));
    EXPECT_EQ((std::multiset<std::string>{"aaa", "bbb"}), serials(devices));
    for (const auto& d : devices) {
        EXPECT_TRUE(d.IsRootDevice);
        EXPECT_EQ("Den hue bridge (" + d.SerialNumber + ")", d.FriendlyName);
        EXPECT_EQ(m_http.url("/index.html"), d.PresentationURL);
        EXPECT_TRUE(is_bridge(d));
        EXPECT_EQ("127.0.0.1", presentation_host(d));
    }
    EXPECT_EQ(2u, r.searches());               // sent twice
    EXPECT_EQ(1u, m_http.requests("/a.xml"));  // fetched once, though announced twice
}

TEST_F(SsdpFinderTest, NothingAnsweringCompletesEmptyAfterTheWindow) {
    auto& silent = responder({});
    const auto start = Clock::now();
    const auto devices = search_within(settings_for(silent), kWindow + milliseconds(1000));
    const auto elapsed = Clock::now() - start;
    EXPECT_TRUE(devices.empty());
    EXPECT_GE(elapsed, kWindow);
    EXPECT_LT(elapsed, kWindow + milliseconds(1000));
    EXPECT_GE(silent.searches(), 1u);
}

TEST_F(SsdpFinderTest, BadRepliesAndDescriptionsAreSkipped) {
    SsdpSettings settings;
    std::string big = "<root><device><serialNumber>big</serialNumber>" + std::string(20000, ' ') +
                      "</device></root>";
    m_http.serve("/big.xml", big);
    m_http.serve("/text.xml", "this is not XML");
    m_http.serve_raw("/redirect.xml", "HTTP/1.0 302 Found\r\nLocation: /a.xml\r\n\r\n");
    m_http.serve_raw("/short.xml", "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n<root>");
    m_http.hang("/hang.xml");
    auto& r = responder({});
    r.set_replies({
        "not HTTP at all",
        "HTTP/1.1 200 OK\r\nST: upnp:rootdevice\r\n\r\n",  // no LOCATION
        Sim::ssdp_reply("https://127.0.0.1:1/x.xml", "uuid:tls"),
        Sim::ssdp_reply("http://localhost/x.xml", "uuid:name"),
        Sim::ssdp_reply(m_http.url("/missing.xml"), "uuid:404"),
        Sim::ssdp_reply(m_http.url("/text.xml"), "uuid:text"),
        Sim::ssdp_reply(m_http.url("/big.xml"), "uuid:big"),
        Sim::ssdp_reply(m_http.url("/redirect.xml"), "uuid:302"),
        Sim::ssdp_reply(m_http.url("/short.xml"), "uuid:short"),
        Sim::ssdp_reply(m_http.url("/hang.xml"), "uuid:hang"),
        Sim::ssdp_reply(serve_device("/good.xml", "good"), "uuid:good"),
    });
    settings = settings_for(r);
    settings.description_cap = 16 * 1024;
    const auto start = Clock::now();
    const auto devices = search_within(settings, milliseconds(3000));
    EXPECT_EQ((std::multiset<std::string>{"good"}), serials(devices));
    EXPECT_LT(Clock::now() - start, settings.window + settings.fetch_timeout + milliseconds(1000));
    EXPECT_EQ(1u, m_http.requests("/hang.xml"));
}

// The search runs in the thread that runs its io_context, and starts no
// thread of its own.
TEST_F(SsdpFinderTest, SearchCompleteComesOnceAfterTheDevicesInTheCallersThread) {
    auto& r = responder({serve_device("/a.xml", "aaa")});
    auto callback = std::make_shared<RecordingCallback>();
    boost::asio::io_context io;
    const std::size_t before = TestingSupport::running_threads();
    {
        SsdpDeviceFinder finder(io, settings_for(r));
        finder.start("upnp:rootdevice", callback);
        finder.start("upnp:rootdevice", callback);  // no second search
        io.run();
    }
    EXPECT_EQ((std::vector<std::string>{"added aaa", "complete"}), callback->m_events);
    EXPECT_EQ(std::set<std::thread::id>{std::this_thread::get_id()}, callback->m_threads);
    EXPECT_EQ(before, callback->m_most_threads);
    EXPECT_EQ(2u, r.searches());
}

TEST_F(SsdpFinderTest, CancelledSearchReportsNothingAndEndsAtOnce) {
    auto& r = responder({serve_device("/a.xml", "aaa")});
    auto callback = std::make_shared<RecordingCallback>();
    boost::asio::io_context io;
    SsdpDeviceFinder finder(io, settings_for(r));
    finder.start("upnp:rootdevice", callback);
    finder.cancel();
    const auto start = Clock::now();
    io.run();
    EXPECT_LT(Clock::now() - start, kWindow);
    EXPECT_TRUE(callback->m_events.empty());
}

// A cancel that comes after the window has closed, but before the search has
// seen it close, still ends the search without a word.
TEST_F(SsdpFinderTest, ACancelAfterTheWindowClosedReportsNothing) {
    auto& r = responder({});
    auto callback = std::make_shared<RecordingCallback>();
    boost::asio::io_context io;
    SsdpDeviceFinder finder(io, settings_for(r));
    finder.start("upnp:rootdevice", callback);
    io.run_for(kWindow / 2);
    std::this_thread::sleep_for(kWindow);  // the window closes while nothing runs
    boost::asio::post(io, [&finder] { finder.cancel(); });
    io.run();
    EXPECT_TRUE(callback->m_events.empty());
}

TEST_F(SsdpFinderTest, DestroyingTheFinderMidSearchIsSafe) {
    m_http.hang("/hang.xml");
    auto& r = responder({m_http.url("/hang.xml")});
    auto callback = std::make_shared<RecordingCallback>();
    boost::asio::io_context io;
    {
        SsdpDeviceFinder finder(io, settings_for(r));
        finder.start("upnp:rootdevice", callback);
        io.run_for(milliseconds(150));  // the fetch is in flight
    }
    const auto start = Clock::now();
    io.run();
    EXPECT_LT(Clock::now() - start, kWindow);
    EXPECT_TRUE(callback->m_events.empty());
}

TEST_F(SsdpFinderTest, ManySearchesOnOneContextLoseAndDuplicateNothing) {
    // Twenty responders answer twenty searches at once; each announces three
    // locations, one of them twice and one shared by every responder.
    const std::string shared = serve_device("/shared.xml", "shared");
    boost::asio::io_context io;
    std::vector<std::optional<std::vector<Device>>> found(20);
    for (int i = 0; i < 20; ++i) {
        const std::string own = serve_device("/d" + std::to_string(i) + ".xml", std::to_string(i));
        auto& r = responder({own, shared, own});
        start_search(io, settings_for(r), found[i]);
    }
    io.run_for(milliseconds(5000));
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(found[i]);
        EXPECT_EQ((std::multiset<std::string>{std::to_string(i), "shared"}), serials(*found[i]));
    }
}

TEST_F(SsdpFinderTest, OneBurstOfManyRepliesLosesNothing) {
    std::vector<std::string> locations;
    std::multiset<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        const int device = i % 25;  // fifteen locations come twice
        locations.push_back(m_http.url("/b" + std::to_string(device) + ".xml"));
        if (i < 25) {
            serve_device("/b" + std::to_string(device) + ".xml", "b" + std::to_string(device));
            expected.insert(("b" + std::to_string(device)));
        }
    }
    auto& r = responder(locations);
    const auto devices = search_within(settings_for(r), milliseconds(3000));
    EXPECT_EQ(expected, serials(devices));
}

// A search that cannot be sent fails at once with a line naming the cause.
TEST_F(SsdpFinderTest, SocketFailureRaisesSystemError) {
    SsdpSettings settings;
    settings.address = "127.0.0.1";
    settings.port = 0;  // nothing can be sent to port 0
    boost::asio::io_context io;
    std::optional<std::vector<Device>> found;
    try {
        start_search(io, settings, found);
        FAIL() << "sent to port 0";
    } catch (const std::system_error& e) {
        EXPECT_EQ(
            std::string("Error: cannot send the SSDP search to 127.0.0.1:0: invalid argument."),
            e.what());
    }
    io.run();
    EXPECT_FALSE(found);
}

// The simulator's responder answers searches only: a notification or any
// other datagram on its port gets no reply and is not counted.
TEST(SsdpResponderTest, AnswersSearchesOnly) {
    Sim::SsdpResponder responder("http://127.0.0.1:9/description.xml");
    responder.start();
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(responder.port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto replies_to = [&](const std::string& datagram) {
        ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to),
                 sizeof to);
        pollfd ready{fd, POLLIN, 0};
        int count = 0;
        char buffer[2048];
        while (::poll(&ready, 1, 200) == 1 && ::recv(fd, buffer, sizeof buffer, 0) > 0) ++count;
        return count;
    };
    EXPECT_EQ(0, replies_to("NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\n\r\n"));
    EXPECT_EQ(0u, responder.searches());
    EXPECT_EQ(1, replies_to("M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\n\r\n"));
    EXPECT_EQ(1u, responder.searches());
    ::close(fd);
}

}  // namespace
}  // namespace UPnP
