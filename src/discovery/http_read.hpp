#ifndef GLOWRIG_DISCOVERY_HTTP_READ_HPP_
#define GLOWRIG_DISCOVERY_HTTP_READ_HPP_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>

namespace UPnP {

// The most bytes of status line and header fields a response may have.
inline constexpr std::size_t kHttpHeaderLimit = 64 * 1024;

using HttpResponseParser = boost::beast::http::response_parser<boost::beast::http::string_body>;

// Reads one response from `stream` through `buffer` and a fresh `parser`, which
// it limits to kHttpHeaderLimit and a body of `cap` bytes, and calls `done`
// with the body of a whole 200 reply (delimited by Content-Length, chunked,
// or by the close), else with nullopt. `stream`, `buffer` and `parser` must
// outlive the call of `done`; everything runs on the stream's executor.
template <class Stream>
void async_read_http_body(Stream& stream, boost::beast::flat_buffer& buffer,
                          HttpResponseParser& parser, std::size_t cap,
                          std::function<void(std::optional<std::string>)> done) {
    namespace http = boost::beast::http;
    parser.header_limit(kHttpHeaderLimit);
    parser.body_limit(cap);
    // The header is read on its own: Beast 1.74 misses a Content-Length over the
    // body limit when body bytes come in the same read, and reserves that much.
    http::async_read_header(stream, buffer, parser,
                            [&stream, &buffer, &parser, done = std::move(done)](
                                boost::beast::error_code ec, std::size_t) mutable {
                                if (ec || parser.get().result() != http::status::ok) {
                                    return done(std::nullopt);
                                }
                                http::async_read(stream, buffer, parser,
                                                 [&parser, done = std::move(done)](
                                                     boost::beast::error_code bec, std::size_t) {
                                                     if (bec) return done(std::nullopt);
                                                     done(std::move(parser.get().body()));
                                                 });
                            });
}

}  // namespace UPnP

#endif  // GLOWRIG_DISCOVERY_HTTP_READ_HPP_
