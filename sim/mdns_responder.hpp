#ifndef GLOWRIG_SIM_MDNS_RESPONDER_HPP_
#define GLOWRIG_SIM_MDNS_RESPONDER_HPP_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Sim {

// One bridge service as a responder describes it.
struct MdnsService {
    std::string instance;  // the instance label, "Bridge - 0A1B2C" (any bytes)
    std::string host;      // the host label of its SRV target, ".local." appended
    std::string address;   // numeric IPv4 or IPv6 address of the host
    unsigned short port = 80;
    std::string bridge_id;  // TXT "bridgeid"; left out when empty
    std::string model_id;   // TXT "modelid"; left out when empty
};

// Returns the wire form of the answer to `query` when it is a DNS query for the
// PTR records of "_hue._tcp.local." (any case): its id and question repeated,
// the PTR record of each service as answers and their SRV, TXT and A or AAAA
// records as additional records, written by ldns (with name compression).
// Returns "" for anything else.
std::string mdns_answer(const std::string& query, const std::vector<MdnsService>& services);

// Answers one-shot mDNS queries sent to a loopback address, on a thread of its
// own, to the sender's address and port, as a responder answers a query that
// does not come from port 5353. set_replies(), port(), endpoint() and queries()
// may be called from any thread; start() and stop() from one.
class MdnsResponder {
public:
    // Will answer with mdns_answer(query, services). Throws std::invalid_argument
    // when `address` is not a loopback address.
    explicit MdnsResponder(std::vector<MdnsService> services, std::string address = "127.0.0.1");
    ~MdnsResponder();  // stops

    MdnsResponder(const MdnsResponder&) = delete;
    MdnsResponder& operator=(const MdnsResponder&) = delete;

    // Answers every datagram with these instead, each sent as given but for its
    // first two bytes, which become the datagram's (the message id).
    void set_replies(std::vector<std::string> replies);

    // Binds to the address and `port` (0: a free one) and starts answering.
    // Throws std::system_error when binding fails. Does nothing when running.
    void start(unsigned short port = 0);

    // Stops answering and releases the port. Does nothing when stopped.
    void stop();

    // The bound port; 0 before start().
    unsigned short port() const;

    // Returns "address:port", the form of GLOWRIG_MDNS.
    std::string endpoint() const;

    // Number of datagrams received since construction.
    std::size_t queries() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace Sim

#endif  // GLOWRIG_SIM_MDNS_RESPONDER_HPP_
