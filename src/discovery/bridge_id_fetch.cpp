#include "discovery/bridge_id_fetch.hpp"

#include <optional>
#include <system_error>
#include <utility>

#include <cpprest/json.h>

#include "discovery/http_fetch.hpp"

namespace Discovery {

std::function<void()> fetch_bridge_id(boost::asio::io_context& io, const std::string& ip,
                                      unsigned short port, bool https,
                                      std::chrono::milliseconds timeout,
                                      std::function<void(std::string)> done) {
    const UPnP::HttpUrl url{https ? Http::Scheme::Https : Http::Scheme::Http, ip, port,
                            "/api/config"};
    return UPnP::fetch_http(io, url, timeout, kConfigCap,
                            [done = std::move(done)](const std::optional<std::string>& body) {
                                std::string id;
                                if (body) {
                                    std::error_code error;
                                    const auto config = web::json::value::parse(*body, error);
                                    if (!error && config.is_object() &&
                                        config.has_field("bridgeid") &&
                                        config.at("bridgeid").is_string()) {
                                        id = config.at("bridgeid").as_string();
                                    }
                                }
                                done(std::move(id));
                            });
}

}  // namespace Discovery
