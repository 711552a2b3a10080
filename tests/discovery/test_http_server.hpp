#ifndef GLOWRIG_TESTS_DISCOVERY_TEST_HTTP_SERVER_HPP_
#define GLOWRIG_TESTS_DISCOVERY_TEST_HTTP_SERVER_HPP_

#include <cstddef>
#include <memory>
#include <string>

namespace UPnP {
namespace TestSupport {

// A small HTTP server on 127.0.0.1:<free port>, on a thread of its own, that
// answers GET requests with fixed responses by path (404 for unknown paths).
// Thread-safe.
class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();

    // Answers `path` with `raw`, sent as given, then closes the connection
    // unless `close` is false.
    void serve_raw(const std::string& path, std::string raw, bool close = true);

    // Answers `path` with a 200 response carrying `body` and its Content-Length.
    void serve(const std::string& path, const std::string& body);

    // Reads requests for `path` but never answers them.
    void hang(const std::string& path);

    // Returns "http://127.0.0.1:<port><path>".
    std::string url(const std::string& path) const;

    // Number of requests received for `path`.
    std::size_t requests(const std::string& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace TestSupport
}  // namespace UPnP

#endif  // GLOWRIG_TESTS_DISCOVERY_TEST_HTTP_SERVER_HPP_
