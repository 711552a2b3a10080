#ifndef GLOWRIG_HTTP_HOST_NAME_HPP_
#define GLOWRIG_HTTP_HOST_NAME_HPP_

#include <chrono>
#include <string>
#include <vector>

namespace Http {

// Returns the addresses (numeric text) the system's resolver gives for `name`,
// in its order; empty when it gives none, fails, or has not answered by
// `deadline`. The lookup runs on a thread of its own, so a resolver that
// hangs costs the caller no more than the deadline.
std::vector<std::string> resolve_host_name(const std::string& name,
                                           std::chrono::steady_clock::time_point deadline);

}  // namespace Http

#endif  // GLOWRIG_HTTP_HOST_NAME_HPP_
