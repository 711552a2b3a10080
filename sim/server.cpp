#include "sim/server.hpp"

#include <chrono>
#include <thread>

#include <cpprest/http_listener.h>

#include "sim/sim_bridge.hpp"

namespace sim {

namespace http = web::http;

struct Server::Listener {
    Listener(const std::string& url, std::shared_ptr<SimBridge> bridge_)
        : listener(url), bridge(std::move(bridge_)) {
        auto target = bridge;
        listener.support([target](http::http_request request) {
            const std::string body = request.extract_utf8string(true).get();
            const Reply reply =
                target->handle(request.method(), request.relative_uri().to_string(), body);
            if (reply.delay_ms > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(reply.delay_ms));
            }
            http::http_response response(static_cast<http::status_code>(reply.status));
            if (!reply.reason.empty()) response.set_reason_phrase(reply.reason);
            response.set_body(reply.body, reply.content_type);
            request.reply(response).wait();
        });
    }

    http::experimental::listener::http_listener listener;
    std::shared_ptr<SimBridge> bridge;
};

Server::Server() = default;

Server::~Server() {
    try {
        close();
    } catch (...) {
    }
}

void Server::add(const std::string& address, int port, std::shared_ptr<SimBridge> bridge) {
    m_listeners.push_back(std::make_unique<Listener>(
        "http://" + address + ":" + std::to_string(port) + "/", std::move(bridge)));
}

void Server::open() {
    try {
        for (auto& l : m_listeners) l->listener.open().wait();
        m_open = true;
    } catch (...) {
        m_open = true;
        close();
        throw;
    }
}

void Server::close() {
    if (!m_open) return;
    m_open = false;
    for (auto& l : m_listeners) {
        try {
            l->listener.close().wait();
        } catch (...) {
        }
    }
}

}  // namespace sim
