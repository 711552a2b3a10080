#ifndef GLOWRIG_DISCOVERY_MDNS_MESSAGE_HPP_
#define GLOWRIG_DISCOVERY_MDNS_MESSAGE_HPP_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Discovery {

// The multicast groups and port of multicast DNS.
inline constexpr const char* kMdnsGroupV4 = "224.0.0.251";
inline constexpr const char* kMdnsGroupV6 = "ff02::fb";
inline constexpr unsigned short kMdnsPort = 5353;

// The DNS-SD service type bridges announce.
inline constexpr const char* kBridgeService = "_hue._tcp.local.";

// The most bytes of one multicast DNS message; larger datagrams are not read.
inline constexpr std::size_t kMdnsMessageLimit = 9000;

// Returns the wire form of a one-shot query with message id `id` for the PTR
// records of kBridgeService (class IN, no flags).
std::string mdns_query(std::uint16_t id);

// One bridge service as the answers describe it.
struct MdnsService {
    std::string instance;  // the service instance name, as ldns writes it
    std::string ip;        // canonical IPv4 (preferred) or IPv6 text of its host
    unsigned short port = 0;
    std::string bridge_id;  // the TXT key "bridgeid"; empty when absent
    std::string model_id;   // the TXT key "modelid"; empty when absent
};

// The records of the answers to one query, gathered across datagrams: PTR
// records of kBridgeService, and the SRV, TXT, A and AAAA records they lead to,
// from any section. Each kind keeps at most kMaxRecords names. Not thread-safe.
class MdnsAnswers {
public:
    // The most names kept for each kind of record.
    static constexpr std::size_t kMaxRecords = 256;

    // Reads `datagram` as the response to the query with id `id` and keeps its
    // records. Returns false, keeping nothing, for a datagram larger than
    // kMdnsMessageLimit, one that ldns does not read as a DNS message, and a
    // message that is not a response, not a standard query's, carries an error
    // code or another id.
    bool add(std::string_view datagram, std::uint16_t id);

    // The services that resolve to an address and a port (PTR, then its SRV
    // with a port other than 0, then an A or AAAA record of the SRV's target),
    // in the order their PTR records came, each instance once. An IPv6 address
    // is used only when the host has no IPv4 one, and never a link-local one
    // (it would need this machine's interface name).
    std::vector<MdnsService> services() const;

private:
    struct Srv {
        std::string target;
        unsigned short port = 0;
    };

    std::vector<std::string> m_instances;  // PTR targets, lower case, first seen first
    std::map<std::string, std::string> m_instance_names;              // lower case -> as received
    std::map<std::string, Srv> m_srv;                                 // by instance
    std::map<std::string, std::map<std::string, std::string>> m_txt;  // by instance
    std::map<std::string, std::vector<std::string>> m_v4;             // by host
    std::map<std::string, std::vector<std::string>> m_v6;             // by host
};

}  // namespace Discovery

#endif  // GLOWRIG_DISCOVERY_MDNS_MESSAGE_HPP_
