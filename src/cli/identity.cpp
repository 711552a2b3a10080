#include "cli/identity.hpp"

#include <cerrno>
#include <stdexcept>
#include <vector>

#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include "util/text.hpp"

namespace Cli {
namespace {

constexpr std::size_t kBufferSize = 272;  // characters, the terminator included
constexpr std::size_t kMinLength = 10;
constexpr std::size_t kMaxLength = 40;

std::optional<std::string> host_name() {
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, HOST_NAME_MAX) != 0) return std::nullopt;
    return std::string(host);
}

std::optional<std::string> effective_user_name() {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(hint > 0 ? static_cast<std::size_t>(hint) : 1024);
    passwd entry{};
    passwd* result = nullptr;
    int rc;
    while ((rc = getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &result)) ==
           ERANGE) {
        scratch.resize(scratch.size() * 2);
    }
    if (rc != 0 || result == nullptr || result->pw_name == nullptr) return std::nullopt;
    return std::string(result->pw_name);
}

}  // namespace

NameSources system_name_sources() { return NameSources{host_name, effective_user_name}; }

std::string make_user_id(const NameSources& sources) {
    const std::optional<std::string> computer = sources.computer_name();
    const std::size_t computer_length = computer ? Util::code_points(*computer) : kBufferSize;
    if (computer_length + 1 > kBufferSize) throw std::runtime_error("Could not get computer name.");
    const std::optional<std::string> user = sources.user_name();
    if (!user || computer_length + Util::code_points(*user) + 1 > kBufferSize) {
        throw std::runtime_error("Could not get user name.");
    }
    std::string id = *computer + *user;
    const std::size_t length = Util::code_points(id);
    if (length < kMinLength) id.append(kMinLength - length, 'W');
    id.resize(Util::code_point_prefix(id, kMaxLength));
    return id;
}

AppIdentity make_app_identity() { return AppIdentity{"glowrig", make_user_id()}; }

}  // namespace Cli
