#ifndef GLOWRIG_HTTP_HOST_NAME_HPP_
#define GLOWRIG_HTTP_HOST_NAME_HPP_

#include <functional>
#include <string>
#include <vector>

namespace boost {
namespace asio {
class io_context;
}
}  // namespace boost

namespace Http {

// Asks the system's resolver for the addresses of `name` and calls `done`
// once, on the thread running `io`, with them (numeric text, in the
// resolver's order; empty when it gives none or fails). The lookup runs on a
// thread of its own, which hands its answer back through a socket pair: a
// resolver that hangs holds only that thread, and an answer that comes after
// the caller gave up goes nowhere. Returns an operation that gives up: `done`
// is then destroyed uncalled. Call it only on the thread running `io`.
std::function<void()> resolve_host_name(boost::asio::io_context& io, const std::string& name,
                                        std::function<void(std::vector<std::string>)> done);

}  // namespace Http

#endif  // GLOWRIG_HTTP_HOST_NAME_HPP_
