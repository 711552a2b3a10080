// Reads the input as the bytes of an HTTP response with the transport's own
// reader, async_read_http_reply(), over an in-memory stream. The
// first byte chooses the body cap, how many bytes each read delivers and
// whether the peer closes the connection after the rest. The body must not
// depend on how the bytes were split into reads.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <boost/asio/io_context.hpp>
#include <boost/beast/_experimental/test/stream.hpp>

#include "fuzz_support.hpp"
#include "http/read_reply.hpp"

using FuzzSupport::require;

namespace {

struct Outcome {
    bool finished = false;            // the reader called back
    bool before_close = false;        // ... while the connection was still open
    std::optional<std::string> body;  // what it called back with

    // A failure may be seen sooner or later (at the close) by how the bytes
    // were split; a body is the same and comes as soon either way.
    bool same_body(const Outcome& other) const {
        return body == other.body && (!body || before_close == other.before_close);
    }
};

Outcome read(std::string_view received, std::size_t read_size, bool closed, std::size_t cap) {
    boost::asio::io_context io;
    boost::beast::flat_buffer buffer;
    Http::HttpResponseParser parser;
    Outcome outcome;
    int calls = 0;
    // Declared last, so that it goes first: its pending read refers to the rest.
    boost::beast::test::stream stream(io, {received.data(), received.size()});
    stream.read_size(read_size);
    Http::async_read_http_reply(stream, buffer, parser, cap, [&](Http::HttpRead result) {
        ++calls;
        outcome.finished = true;
        if (result == Http::HttpRead::ok) outcome.body = std::move(parser.get().body());
    });
    io.poll();
    outcome.before_close = outcome.finished;
    if (!outcome.finished && closed) {
        stream.close_remote();
        io.poll();
    }
    require(calls == (outcome.finished ? 1 : 0), "the reader calls back at most once");
    if (outcome.body) {
        require(outcome.body->size() <= cap, "a body fits the cap");
        require(parser.get().result_int() == 200, "only a 200 reply has a body");
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool closed = (data[0] & 1) != 0;
    const std::size_t caps[] = {0, 16, 256, 256 * 1024};
    const std::size_t cap = caps[(data[0] >> 1) & 3];
    const std::size_t read_sizes[] = {1, 3, 64, 4096};
    const std::size_t read_size = read_sizes[(data[0] >> 3) & 3];
    const std::string_view received(reinterpret_cast<const char*>(data + 1), size - 1);

    const Outcome whole = read(received, SIZE_MAX, closed, cap);
    require(whole.finished || !closed, "a closed connection always ends the read");
    require(read(received, read_size, closed, cap).same_body(whole), "splitting changes no body");
    return 0;
}
