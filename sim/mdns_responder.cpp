#include "sim/mdns_responder.hpp"

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <ldns/ldns.h>

namespace sim {
namespace {

namespace asio = boost::asio;
using asio::ip::udp;

struct PacketFree {
    void operator()(ldns_pkt* packet) const { ldns_pkt_free(packet); }
};
using Packet = std::unique_ptr<ldns_pkt, PacketFree>;

// `text` in the presentation form ldns reads: every byte but letters, digits,
// '-' and '_' written as \DDD.
std::string escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            char code[5];
            std::snprintf(code, sizeof code, "\\%03u", c);
            out += code;
        }
    }
    return out;
}

// Adds the record written as `text` to `section` of `packet`.
void push(ldns_pkt* packet, ldns_pkt_section section, const std::string& text) {
    ldns_rr* rr = nullptr;
    if (ldns_rr_new_frm_str(&rr, text.c_str(), 0, nullptr, nullptr) != LDNS_STATUS_OK) {
        throw std::invalid_argument("cannot write the record " + text);
    }
    ldns_pkt_push_rr(packet, section, rr);
}

constexpr const char* kService = "_hue._tcp.local.";

}  // namespace

std::string mdns_answer(const std::string& query, const std::vector<MdnsService>& services) {
    ldns_pkt* read = nullptr;
    if (ldns_wire2pkt(&read, reinterpret_cast<const uint8_t*>(query.data()), query.size()) !=
        LDNS_STATUS_OK) {
        return std::string();
    }
    const Packet asked(read);
    const ldns_rr_list* questions = ldns_pkt_question(asked.get());
    if (ldns_pkt_qr(asked.get()) || ldns_rr_list_rr_count(questions) != 1) return std::string();
    const ldns_rr* question = ldns_rr_list_rr(questions, 0);
    ldns_rdf* service = ldns_dname_new_frm_str(kService);
    const bool ours = ldns_rr_get_type(question) == LDNS_RR_TYPE_PTR &&
                      ldns_dname_compare(ldns_rr_owner(question), service) == 0;
    ldns_rdf_deep_free(service);
    if (!ours) return std::string();

    const Packet answer(ldns_pkt_new());
    ldns_pkt_set_id(answer.get(), ldns_pkt_id(asked.get()));
    ldns_pkt_set_qr(answer.get(), true);
    ldns_pkt_set_aa(answer.get(), true);
    ldns_pkt_push_rr(answer.get(), LDNS_SECTION_QUESTION, ldns_rr_clone(question));
    for (const MdnsService& s : services) {
        const std::string instance = escaped(s.instance) + "." + kService;
        const std::string host = escaped(s.host) + ".local.";
        push(answer.get(), LDNS_SECTION_ANSWER, std::string(kService) + " 120 IN PTR " + instance);
        push(answer.get(), LDNS_SECTION_ADDITIONAL,
             instance + " 120 IN SRV 0 0 " + std::to_string(s.port) + " " + host);
        std::string txt;
        if (!s.bridge_id.empty()) txt += " \"" + escaped("bridgeid=" + s.bridge_id) + "\"";
        if (!s.model_id.empty()) txt += " \"" + escaped("modelid=" + s.model_id) + "\"";
        if (!txt.empty())
            push(answer.get(), LDNS_SECTION_ADDITIONAL, instance + " 120 IN TXT" + txt);
        const bool v6 = s.address.find(':') != std::string::npos;
        push(answer.get(), LDNS_SECTION_ADDITIONAL,
             host + " 120 IN " + (v6 ? "AAAA " : "A ") + s.address);
    }
    uint8_t* wire = nullptr;
    std::size_t size = 0;
    if (ldns_pkt2wire(&wire, answer.get(), &size) != LDNS_STATUS_OK) return std::string();
    std::string datagram(reinterpret_cast<const char*>(wire), size);
    std::free(wire);
    return datagram;
}

struct MdnsResponder::Impl {
    asio::ip::address address;
    const std::vector<MdnsService> services;
    mutable std::mutex mutex;  // guards replies, raw and port
    std::vector<std::string> replies;
    bool raw = false;
    unsigned short port = 0;
    std::atomic<std::size_t> queries{0};

    // Present while running.
    std::unique_ptr<asio::io_context> io;
    std::unique_ptr<udp::socket> socket;
    std::thread thread;
    std::array<char, 65536> buffer{};
    udp::endpoint sender;

    explicit Impl(std::vector<MdnsService> s) : services(std::move(s)) {}

    void receive() {
        socket->async_receive_from(asio::buffer(buffer), sender,
                                   [this](const boost::system::error_code& ec, std::size_t n) {
                                       if (ec == asio::error::operation_aborted) return;
                                       if (!ec) answer(std::string(buffer.data(), n));
                                       receive();
                                   });
    }

    void answer(const std::string& query) {
        ++queries;
        std::vector<std::string> answers;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (raw) answers = replies;
        }
        if (answers.empty()) {
            const std::string reply = mdns_answer(query, services);
            if (!reply.empty()) answers.push_back(reply);
        } else {
            for (auto& reply : answers) {
                for (std::size_t i = 0; i < 2 && i < reply.size() && i < query.size(); ++i) {
                    reply[i] = query[i];
                }
            }
        }
        for (const auto& reply : answers) {
            boost::system::error_code ignored;
            socket->send_to(asio::buffer(reply), sender, 0, ignored);
        }
    }
};

MdnsResponder::MdnsResponder(std::vector<MdnsService> services, std::string address)
    : m_impl(std::make_unique<Impl>(std::move(services))) {
    boost::system::error_code ec;
    m_impl->address = asio::ip::make_address(address, ec);
    if (ec || !m_impl->address.is_loopback()) {
        throw std::invalid_argument("the mDNS responder binds to loopback addresses only");
    }
}

MdnsResponder::~MdnsResponder() { stop(); }

void MdnsResponder::set_replies(std::vector<std::string> replies) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->replies = std::move(replies);
    m_impl->raw = true;
}

void MdnsResponder::start(unsigned short port) {
    if (m_impl->io) return;
    auto io = std::make_unique<asio::io_context>();
    auto socket = std::make_unique<udp::socket>(*io);
    const udp::endpoint local(m_impl->address, port);
    boost::system::error_code ec;
    socket->open(local.protocol(), ec);
    if (!ec) socket->bind(local, ec);
    if (ec) throw std::system_error(ec.value(), std::system_category(), "mDNS responder bind");
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        m_impl->port = socket->local_endpoint().port();
    }
    m_impl->io = std::move(io);
    m_impl->socket = std::move(socket);
    m_impl->receive();
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->io->run(); });
}

void MdnsResponder::stop() {
    if (!m_impl->io) return;
    m_impl->io->stop();
    m_impl->thread.join();
    m_impl->socket.reset();
    m_impl->io.reset();
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->port = 0;
}

unsigned short MdnsResponder::port() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->port;
}

std::string MdnsResponder::endpoint() const {
    const std::string host = m_impl->address.to_string();
    const std::string port_text = std::to_string(port());
    return m_impl->address.is_v6() ? "[" + host + "]:" + port_text : host + ":" + port_text;
}

std::size_t MdnsResponder::queries() const { return m_impl->queries; }

}  // namespace sim
