#ifndef GLOWRIG_HTTP_READ_REPLY_HPP_
#define GLOWRIG_HTTP_READ_REPLY_HPP_

#include <cstddef>
#include <functional>
#include <utility>

#include <boost/beast/core/error.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>

namespace Http {

// The most bytes of status line and header fields a response may have.
inline constexpr std::size_t kHttpHeaderLimit = 64 * 1024;

using HttpResponseParser = boost::beast::http::response_parser<boost::beast::http::string_body>;

// How reading one response ended.
enum class HttpRead {
    ok,                // a whole 200 reply: its body is in the parser
    header_failed,     // no complete, well-formed status line and header
    header_too_large,  // more than kHttpHeaderLimit bytes of header
    not_ok,            // a status other than 200: the body is left unread
    body_failed,       // the body broke off or was malformed
    body_too_large,    // the body passes the cap
};

// Reads one response from `stream` through `buffer` and a fresh `parser`, which
// it limits to kHttpHeaderLimit and a body of `cap` bytes, and calls `done`
// with how it ended; the status and header are in the parser from not_ok on.
// A body is delimited by Content-Length, chunked, or by the close. `stream`,
// `buffer` and `parser` must outlive the call of `done`; everything runs on
// the stream's executor.
template <class Stream>
void async_read_http_reply(Stream& stream, boost::beast::flat_buffer& buffer,
                           HttpResponseParser& parser, std::size_t cap,
                           std::function<void(HttpRead)> done) {
    namespace http = boost::beast::http;
    parser.header_limit(kHttpHeaderLimit);
    parser.body_limit(cap);
    // The header is read on its own: Beast 1.74 misses a Content-Length over the
    // body limit when body bytes come in the same read, and reserves that much.
    http::async_read_header(
        stream, buffer, parser,
        [&stream, &buffer, &parser, cap, done = std::move(done)](boost::beast::error_code ec,
                                                                 std::size_t header_size) mutable {
            if (ec == http::error::header_limit) return done(HttpRead::header_too_large);
            if (ec == http::error::body_limit) return done(HttpRead::body_too_large);
            if (ec) return done(HttpRead::header_failed);
            // Beast counts its limit only from the first field a read left
            // incomplete, the fields it parsed before on top: the whole
            // header is measured here.
            if (header_size > kHttpHeaderLimit) return done(HttpRead::header_too_large);
            if (parser.get().result() != http::status::ok) return done(HttpRead::not_ok);
            if (parser.content_length() && *parser.content_length() > cap) {
                return done(HttpRead::body_too_large);
            }
            http::async_read(stream, buffer, parser,
                             [done = std::move(done)](boost::beast::error_code bec, std::size_t) {
                                 if (bec == http::error::body_limit) {
                                     return done(HttpRead::body_too_large);
                                 }
                                 done(bec ? HttpRead::body_failed : HttpRead::ok);
                             });
        });
}

}  // namespace Http

#endif  // GLOWRIG_HTTP_READ_REPLY_HPP_
