#include "sim/mdns_responder.hpp"

#include <atomic>
// Before <ldns/ldns.h>: without it ldns makes bool, true and false macros
// (false is 0), which in a unity batch would reach the files after this one
// and turn Json::Value(false) into the number 0.
#include <cstdbool>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <utility>

#include <ldns/ldns.h>

#include "sim/udp_responder.hpp"

namespace Sim {
namespace {

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
    const std::vector<MdnsService> services;
    mutable std::mutex mutex;  // guards replies and raw
    std::vector<std::string> replies;
    bool raw = false;
    std::atomic<std::size_t> queries{0};
    std::unique_ptr<UdpResponder> udp;  // last: stops before the rest goes

    explicit Impl(std::vector<MdnsService> s) : services(std::move(s)) {}

    // The replies to one query: the set replies with its message id, else the
    // answer for the services.
    std::vector<std::string> answer(const std::string& query) {
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
        return answers;
    }
};

MdnsResponder::MdnsResponder(std::vector<MdnsService> services, std::string address)
    : m_impl(std::make_unique<Impl>(std::move(services))) {
    m_impl->udp = std::make_unique<UdpResponder>(
        address, "mDNS responder",
        [impl = m_impl.get()](const std::string& query) { return impl->answer(query); });
}

MdnsResponder::~MdnsResponder() { stop(); }

void MdnsResponder::set_replies(std::vector<std::string> replies) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->replies = std::move(replies);
    m_impl->raw = true;
}

void MdnsResponder::start(unsigned short port) { m_impl->udp->start(port); }

void MdnsResponder::stop() { m_impl->udp->stop(); }

unsigned short MdnsResponder::port() const { return m_impl->udp->port(); }

std::string MdnsResponder::endpoint() const { return m_impl->udp->endpoint(); }

std::size_t MdnsResponder::queries() const { return m_impl->queries; }

}  // namespace Sim
