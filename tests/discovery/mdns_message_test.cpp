#include "discovery/mdns_message.hpp"

// Before <ldns/ldns.h>, which otherwise makes bool, true and false macros
// that reach the files after this one in a unity batch.
#include <cstdbool>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <ldns/ldns.h>

#include "sim/mdns_responder.hpp"

namespace Discovery {
namespace {

constexpr std::uint16_t kId = 0x4a17;

// A response with id `id` and `flags` (QR and AA by default) holding
// `records`, written in presentation form, as answers.
std::string response(const std::vector<std::string>& records, std::uint16_t id = kId,
                     ldns_pkt_rcode rcode = LDNS_RCODE_NOERROR, bool qr = true) {
    ldns_pkt* packet = ldns_pkt_new();
    ldns_pkt_set_id(packet, id);
    ldns_pkt_set_qr(packet, qr);
    ldns_pkt_set_aa(packet, true);
    ldns_pkt_set_rcode(packet, rcode);
    for (const auto& text : records) {
        ldns_rr* rr = nullptr;
        EXPECT_EQ(LDNS_STATUS_OK, ldns_rr_new_frm_str(&rr, text.c_str(), 0, nullptr, nullptr))
            << text;
        ldns_pkt_push_rr(packet, LDNS_SECTION_ANSWER, rr);
    }
    uint8_t* wire = nullptr;
    std::size_t size = 0;
    EXPECT_EQ(LDNS_STATUS_OK, ldns_pkt2wire(&wire, packet, &size));
    std::string datagram(reinterpret_cast<const char*>(wire), size);
    std::free(wire);
    ldns_pkt_free(packet);
    return datagram;
}

const std::string kPtr = "_hue._tcp.local. 120 IN PTR Hall._hue._tcp.local.";
const std::string kSrv = "Hall._hue._tcp.local. 120 IN SRV 0 0 443 hall.local.";
const std::string kTxt =
    "Hall._hue._tcp.local. 120 IN TXT \"bridgeid=0200aafffe0a1b2c\" \"modelid=M1\"";
const std::string kA = "hall.local. 120 IN A 192.0.2.7";

// A DNS header: the test id, response flags, and the four counts.
std::string header(int answers) {
    return std::string{
        0x4a, 0x17, static_cast<char>(0x84), 0, 0, 0, 0, static_cast<char>(answers), 0, 0, 0, 0};
}

TEST(MdnsQuery, IsAOneShotPtrQueryAResponderAnswers) {
    const std::string query = mdns_query(kId);
    EXPECT_EQ('\x4a', query[0]);
    EXPECT_EQ('\x17', query[1]);
    EXPECT_EQ(0, query[2] & 0x80);  // a query, not a response
    const Sim::MdnsService service{"Hall", "hall", "192.0.2.7", 443, "0200aafffe0a1b2c", "M1"};
    MdnsAnswers answers;
    ASSERT_TRUE(answers.add(Sim::mdns_answer(query, {service}), kId));
    const auto services = answers.services();
    ASSERT_EQ(1u, services.size());
    EXPECT_EQ("Hall._hue._tcp.local.", services[0].instance);
    EXPECT_EQ("192.0.2.7", services[0].ip);
    EXPECT_EQ(443, services[0].port);
    EXPECT_EQ("0200aafffe0a1b2c", services[0].bridge_id);
    EXPECT_EQ("M1", services[0].model_id);
}

TEST(MdnsAnswersReading, ServicesResolveThroughPtrSrvAndAddress) {
    struct Case {
        const char* what;
        std::vector<std::string> records;
        std::size_t services;
        const char* ip;
        const char* bridge_id;
    } cases[] = {
        {"whole", {kPtr, kSrv, kTxt, kA}, 1, "192.0.2.7", "0200aafffe0a1b2c"},
        {"names in another case",
         {"_HUE._tcp.LOCAL. 120 IN PTR hall._hue._tcp.local.",
          "HALL._hue._tcp.local. 120 IN SRV 0 0 80 HALL.local.", "hall.local. 120 IN A 192.0.2.7",
          "hall._hue._tcp.local. 120 IN TXT \"BridgeID=x1\""},
         1,
         "192.0.2.7",
         "x1"},
        {"cache-flush bit on the class",
         {kPtr, "Hall._hue._tcp.local. 120 CLASS32769 SRV 0 0 443 hall.local.",
          "hall.local. 120 CLASS32769 A 192.0.2.7"},
         1,
         "192.0.2.7",
         ""},
        {"IPv4 preferred",
         {kPtr, kSrv, "hall.local. 120 IN AAAA 2001:db8::7", kA},
         1,
         "192.0.2.7",
         ""},
        {"IPv6 when alone",
         {kPtr, kSrv, "hall.local. 120 IN AAAA 2001:db8::7"},
         1,
         "2001:db8::7",
         ""},
        {"link-local IPv6 only", {kPtr, kSrv, "hall.local. 120 IN AAAA fe80::7"}, 0, "", ""},
        {"no SRV", {kPtr, kTxt, kA}, 0, "", ""},
        {"SRV port 0", {kPtr, "Hall._hue._tcp.local. 120 IN SRV 0 0 0 hall.local.", kA}, 0, "", ""},
        {"no address", {kPtr, kSrv, kTxt}, 0, "", ""},
        {"multicast address", {kPtr, kSrv, "hall.local. 120 IN A 224.0.0.251"}, 0, "", ""},
        {"another service",
         {"_http._tcp.local. 120 IN PTR Hall._hue._tcp.local.", kSrv, kA},
         0,
         "",
         ""},
        {"leaving (TTL 0)",
         {"_hue._tcp.local. 0 IN PTR Hall._hue._tcp.local.", kSrv, kA},
         0,
         "",
         ""},
        {"first key of a repeated one",
         {kPtr, kSrv, kA, "Hall._hue._tcp.local. 120 IN TXT \"bridgeid=a\" \"bridgeid=b\""},
         1,
         "192.0.2.7",
         "a"},
        {"empty bridgeid",
         {kPtr, kSrv, kA, "Hall._hue._tcp.local. 120 IN TXT \"bridgeid=\""},
         1,
         "192.0.2.7",
         ""},
        {"one instance twice", {kPtr, kPtr, kSrv, kA}, 1, "192.0.2.7", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MdnsAnswers answers;
        ASSERT_TRUE(answers.add(response(c.records), kId));
        const auto services = answers.services();
        ASSERT_EQ(c.services, services.size());
        if (c.services == 0) continue;
        EXPECT_EQ(c.ip, services[0].ip);
        EXPECT_EQ(c.bridge_id, services[0].bridge_id);
    }
}

TEST(MdnsAnswersReading, RecordsAddUpAcrossDatagrams) {
    MdnsAnswers answers;
    ASSERT_TRUE(answers.add(response({kSrv, kA}), kId));
    EXPECT_TRUE(answers.services().empty());
    ASSERT_TRUE(answers.add(response({kPtr}), kId));
    ASSERT_EQ(1u, answers.services().size());
    EXPECT_EQ(443, answers.services()[0].port);
}

TEST(MdnsAnswersReading, RefusesWhatIsNotAnAnswerAndReadsBrokenMessagesSafely) {
    const std::string whole = response({kPtr, kSrv, kTxt, kA});
    struct Case {
        const char* what;
        std::string datagram;
    } cases[] = {
        {"empty", ""},
        {"header only, cut", header(1).substr(0, 7)},
        {"truncated", whole.substr(0, whole.size() / 2)},
        {"one byte short", whole.substr(0, whole.size() - 1)},
        {"pointer to itself", header(1) + std::string{'\xc0', '\x0c', 0, 12, 0, 1}},
        {"pointers to each other",
         header(1) + std::string{'\xc0', '\x0e', '\xc0', '\x0c', 0, 12, 0, 1}},
        {"label and pointer back, growing", header(1) + std::string{1, 'a', '\xc0', '\x0c'}},
        {"pointer past the end", header(1) + std::string{'\xc0', '\x7f', 0, 12, 0, 1}},
        {"more records than bytes", header(100)},
        {"too large", whole + std::string(kMdnsMessageLimit, '\0')},
        {"a query", mdns_query(kId)},
        {"another id", response({kPtr, kSrv, kA}, kId + 1)},
        {"an error code", response({kPtr, kSrv, kA}, kId, LDNS_RCODE_SERVFAIL)},
        {"not a response", response({kPtr, kSrv, kA}, kId, LDNS_RCODE_NOERROR, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MdnsAnswers answers;
        EXPECT_FALSE(answers.add(c.datagram, kId));
        EXPECT_TRUE(answers.services().empty());
    }
}

// Each kind of record keeps at most kMaxRecords names: the bridge's own
// record is kept after one name fewer of others, and dropped after as many.
TEST(MdnsAnswersReading, KeepsAtMostTheLimitOfNamesOfEachKind) {
    constexpr std::size_t kMax = MdnsAnswers::kMaxRecords;
    struct Case {
        const char* what;
        std::string other;  // the record of another name, numbered at '#'
        std::size_t others;
        const char* bridge_id;  // of the bridge found; nullptr: none found
    } cases[] = {
        {"PTR at the limit", "_hue._tcp.local. 120 IN PTR b#._hue._tcp.local.", kMax - 1,
         "0200aafffe0a1b2c"},
        {"PTR over it", "_hue._tcp.local. 120 IN PTR b#._hue._tcp.local.", kMax, nullptr},
        {"SRV at the limit", "b#._hue._tcp.local. 120 IN SRV 0 0 80 h.local.", kMax - 1,
         "0200aafffe0a1b2c"},
        {"SRV over it", "b#._hue._tcp.local. 120 IN SRV 0 0 80 h.local.", kMax, nullptr},
        {"TXT at the limit", "b#._hue._tcp.local. 120 IN TXT \"bridgeid=b\"", kMax - 1,
         "0200aafffe0a1b2c"},
        {"TXT over it", "b#._hue._tcp.local. 120 IN TXT \"bridgeid=b\"", kMax, ""},
        {"A at the limit", "h#.local. 120 IN A 192.0.2.8", kMax - 1, "0200aafffe0a1b2c"},
        {"A over it", "h#.local. 120 IN A 192.0.2.8", kMax, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MdnsAnswers answers;
        std::vector<std::string> others;
        for (std::size_t n = 0; n < c.others; ++n) {
            std::string record = c.other;
            others.push_back(record.replace(record.find('#'), 1, std::to_string(n)));
            if (others.size() == 100 || n + 1 == c.others) {
                ASSERT_TRUE(answers.add(response(others), kId));
                others.clear();
            }
        }
        ASSERT_TRUE(answers.add(response({kPtr, kSrv, kTxt, kA}), kId));
        const auto services = answers.services();
        ASSERT_EQ(c.bridge_id ? 1u : 0u, services.size());
        if (c.bridge_id) {
            EXPECT_EQ(c.bridge_id, services[0].bridge_id);
        }
    }
}

}  // namespace
}  // namespace Discovery
