#include "discovery/bridge_id_fetch.hpp"

#include <optional>
#include <utility>

#include "http/exchange.hpp"
#include "json/parse.hpp"

namespace Discovery {

std::function<void()> fetch_bridge_id(boost::asio::io_context& io, const std::string& ip,
                                      unsigned short port, bool https,
                                      std::chrono::milliseconds timeout,
                                      std::function<void(std::string)> done) {
    const Http::Endpoint url{https ? Http::Scheme::Https : Http::Scheme::Http, ip, port,
                             "/api/config"};
    return Http::fetch(io, url, timeout, kConfigCap,
                       [done = std::move(done)](const std::optional<std::string>& body) {
                           std::string id;
                           if (body) {
                               try {
                                   const Json::Value config = Json::parse(*body);
                                   const auto* bridge_id = Json::find(config, "bridgeid");
                                   if (bridge_id && bridge_id->is_string()) {
                                       id = Json::as_string(*bridge_id);
                                   }
                               } catch (const Json::ParseError&) {
                                   // Not JSON: no id.
                               }
                           }
                           done(std::move(id));
                       });
}

}  // namespace Discovery
