#include "discovery/mdns_message.hpp"

#include <algorithm>
#include <array>
// Before <ldns/ldns.h>, which otherwise makes bool, true and false macros
// that reach the files after this one in a unity batch.
#include <cstdbool>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include <boost/asio/ip/address.hpp>
#include <ldns/ldns.h>

#include "util/text.hpp"

namespace Discovery {
namespace {

namespace asio = boost::asio;

struct PacketFree {
    void operator()(ldns_pkt* packet) const { ldns_pkt_free(packet); }
};
using Packet = std::unique_ptr<ldns_pkt, PacketFree>;

struct MallocFree {
    void operator()(void* memory) const { std::free(memory); }
};

// Record classes carry the cache-flush bit in their top bit (RFC 6762 §10.2).
constexpr unsigned kClassMask = 0x7fff;

// The text of a name as ldns writes it ("a\.b.local."): unusual bytes escaped.
std::string name_text(const ldns_rdf* name) {
    if (name == nullptr || ldns_rdf_get_type(name) != LDNS_RDF_TYPE_DNAME) return std::string();
    const std::unique_ptr<char, MallocFree> text(ldns_rdf2str(name));
    return text ? std::string(text.get()) : std::string();
}

// Adds `value` to `list` unless it is there or the list is full.
void keep(std::vector<std::string>& list, const std::string& value) {
    if (list.size() < MdnsAnswers::kMaxRecords &&
        std::find(list.begin(), list.end(), value) == list.end()) {
        list.push_back(value);
    }
}

// The key=value pairs of a TXT record's strings, keys in lower case; the
// first of a repeated key counts (RFC 6763 §6.4).
std::map<std::string, std::string> txt_pairs(const ldns_rr* rr) {
    std::map<std::string, std::string> pairs;
    for (std::size_t i = 0; i < ldns_rr_rd_count(rr); ++i) {
        const ldns_rdf* rdf = ldns_rr_rdf(rr, i);
        if (ldns_rdf_get_type(rdf) != LDNS_RDF_TYPE_STR || ldns_rdf_size(rdf) < 1) continue;
        const uint8_t* data = ldns_rdf_data(rdf);
        const std::size_t length = std::min<std::size_t>(data[0], ldns_rdf_size(rdf) - 1);
        const std::string text(reinterpret_cast<const char*>(data + 1), length);
        const auto equals = text.find('=');
        if (equals == 0) continue;  // no key
        const std::string key = Util::lower_case(text.substr(0, equals));
        pairs.emplace(key, equals == std::string::npos ? std::string() : text.substr(equals + 1));
    }
    return pairs;
}

// The canonical text of an A or AAAA record's address, or "" for one that
// names no single host.
std::string address_of(const ldns_rr* rr) {
    if (ldns_rr_rd_count(rr) != 1) return std::string();
    const ldns_rdf* rdf = ldns_rr_rdf(rr, 0);
    asio::ip::address address;
    if (ldns_rdf_get_type(rdf) == LDNS_RDF_TYPE_A && ldns_rdf_size(rdf) == 4) {
        asio::ip::address_v4::bytes_type bytes;
        std::copy_n(ldns_rdf_data(rdf), bytes.size(), bytes.begin());
        address = asio::ip::address_v4(bytes);
        if (address.to_v4() == asio::ip::address_v4::broadcast()) return std::string();
    } else if (ldns_rdf_get_type(rdf) == LDNS_RDF_TYPE_AAAA && ldns_rdf_size(rdf) == 16) {
        asio::ip::address_v6::bytes_type bytes;
        std::copy_n(ldns_rdf_data(rdf), bytes.size(), bytes.begin());
        address = asio::ip::address_v6(bytes);
        if (address.to_v6().is_link_local()) return std::string();
    } else {
        return std::string();
    }
    if (address.is_unspecified() || address.is_multicast()) return std::string();
    return address.to_string();
}

}  // namespace

std::string mdns_query(std::uint16_t id) {
    ldns_rdf* name = ldns_dname_new_frm_str(kBridgeService);
    if (name == nullptr) throw std::bad_alloc();
    // The query takes the name over.
    const Packet query(ldns_pkt_query_new(name, LDNS_RR_TYPE_PTR, LDNS_RR_CLASS_IN, 0));
    if (!query) throw std::bad_alloc();
    ldns_pkt_set_id(query.get(), id);
    uint8_t* wire = nullptr;
    std::size_t size = 0;
    if (ldns_pkt2wire(&wire, query.get(), &size) != LDNS_STATUS_OK) {
        throw std::runtime_error("cannot write the mDNS query");
    }
    const std::unique_ptr<uint8_t, MallocFree> owned(wire);
    return std::string(reinterpret_cast<const char*>(wire), size);
}

bool MdnsAnswers::add(std::string_view datagram, std::uint16_t id) {
    if (datagram.size() > kMdnsMessageLimit) return false;
    ldns_pkt* read = nullptr;
    if (ldns_wire2pkt(&read, reinterpret_cast<const uint8_t*>(datagram.data()), datagram.size()) !=
        LDNS_STATUS_OK) {
        return false;
    }
    const Packet packet(read);
    if (!ldns_pkt_qr(packet.get()) || ldns_pkt_get_opcode(packet.get()) != LDNS_PACKET_QUERY ||
        ldns_pkt_get_rcode(packet.get()) != LDNS_RCODE_NOERROR || ldns_pkt_id(packet.get()) != id) {
        return false;
    }
    const std::string service = Util::lower_case(kBridgeService);
    for (const ldns_rr_list* section :
         {ldns_pkt_answer(packet.get()), ldns_pkt_authority(packet.get()),
          ldns_pkt_additional(packet.get())}) {
        for (std::size_t i = 0; i < ldns_rr_list_rr_count(section); ++i) {
            const ldns_rr* rr = ldns_rr_list_rr(section, i);
            if ((ldns_rr_get_class(rr) & kClassMask) != LDNS_RR_CLASS_IN) continue;
            const std::string owner = Util::lower_case(name_text(ldns_rr_owner(rr)));
            switch (ldns_rr_get_type(rr)) {
                case LDNS_RR_TYPE_PTR: {
                    // A time to live of 0 says the service is leaving.
                    if (owner != service || ldns_rr_rd_count(rr) != 1 || ldns_rr_ttl(rr) == 0) {
                        break;
                    }
                    const std::string instance = name_text(ldns_rr_rdf(rr, 0));
                    const std::string key = Util::lower_case(instance);
                    if (instance.empty() || m_instance_names.count(key) ||
                        m_instances.size() >= kMaxRecords) {
                        break;
                    }
                    m_instances.push_back(key);
                    m_instance_names.emplace(key, instance);
                    break;
                }
                case LDNS_RR_TYPE_SRV: {
                    if (ldns_rr_rd_count(rr) != 4 || m_srv.count(owner) ||
                        m_srv.size() >= kMaxRecords) {
                        break;
                    }
                    const ldns_rdf* port = ldns_rr_rdf(rr, 2);
                    if (ldns_rdf_get_type(port) != LDNS_RDF_TYPE_INT16) break;
                    const std::string target = Util::lower_case(name_text(ldns_rr_rdf(rr, 3)));
                    if (target.empty()) break;
                    m_srv[owner] = Srv{target, ldns_rdf2native_int16(port)};
                    break;
                }
                case LDNS_RR_TYPE_TXT:
                    if (!m_txt.count(owner) && m_txt.size() < kMaxRecords) {
                        m_txt[owner] = txt_pairs(rr);
                    }
                    break;
                case LDNS_RR_TYPE_A:
                case LDNS_RR_TYPE_AAAA: {
                    const std::string address = address_of(rr);
                    auto& hosts = ldns_rr_get_type(rr) == LDNS_RR_TYPE_A ? m_v4 : m_v6;
                    if (address.empty() || (!hosts.count(owner) && hosts.size() >= kMaxRecords)) {
                        break;
                    }
                    keep(hosts[owner], address);
                    break;
                }
                default:
                    break;
            }
        }
    }
    return true;
}

std::vector<MdnsService> MdnsAnswers::services() const {
    std::vector<MdnsService> services;
    for (const std::string& instance : m_instances) {
        const auto srv = m_srv.find(instance);
        if (srv == m_srv.end() || srv->second.port == 0) continue;
        MdnsService service;
        service.instance = m_instance_names.at(instance);
        service.port = srv->second.port;
        const auto v4 = m_v4.find(srv->second.target);
        const auto v6 = m_v6.find(srv->second.target);
        if (v4 != m_v4.end() && !v4->second.empty()) {
            service.ip = v4->second.front();
        } else if (v6 != m_v6.end() && !v6->second.empty()) {
            service.ip = v6->second.front();
        } else {
            continue;
        }
        if (const auto txt = m_txt.find(instance); txt != m_txt.end()) {
            if (const auto id = txt->second.find("bridgeid"); id != txt->second.end()) {
                service.bridge_id = id->second;
            }
            if (const auto model = txt->second.find("modelid"); model != txt->second.end()) {
                service.model_id = model->second;
            }
        }
        services.push_back(std::move(service));
    }
    return services;
}

}  // namespace Discovery
