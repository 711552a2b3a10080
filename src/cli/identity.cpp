#include "cli/identity.hpp"

#include <cerrno>
#include <stdexcept>
#include <vector>

#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include "hue/text.hpp"

namespace cli {
namespace {

constexpr std::size_t kBufferSize = 272;
constexpr std::size_t kMinLength = 10;
constexpr std::size_t kMaxLength = 40;

// Copies `name` and a terminator into `buffer`; false when it does not fit.
bool store(const std::wstring& name, wchar_t* buffer, std::size_t capacity) {
    if (name.size() + 1 > capacity) return false;
    name.copy(buffer, name.size());
    buffer[name.size()] = L'\0';
    return true;
}

bool host_name(wchar_t* buffer, std::size_t capacity, std::size_t* length) {
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, HOST_NAME_MAX) != 0) return false;
    const std::wstring name = Hue::to_wide(host);
    if (!store(name, buffer, capacity)) return false;
    *length = name.size();
    return true;
}

bool effective_user_name(wchar_t* buffer, std::size_t capacity, std::size_t* count) {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(hint > 0 ? static_cast<std::size_t>(hint) : 1024);
    passwd entry{};
    passwd* result = nullptr;
    int rc;
    while ((rc = getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &result)) ==
           ERANGE) {
        scratch.resize(scratch.size() * 2);
    }
    if (rc != 0 || result == nullptr || result->pw_name == nullptr) return false;
    const std::wstring name = Hue::to_wide(result->pw_name);
    if (!store(name, buffer, capacity)) return false;
    *count = name.size() + 1;
    return true;
}

}  // namespace

NameSources system_name_sources() { return NameSources{host_name, effective_user_name}; }

std::wstring make_user_id(const NameSources& sources) {
    wchar_t buffer[kBufferSize] = {};
    std::size_t length = 0;
    if (!sources.computer_name(buffer, kBufferSize, &length) || length >= kBufferSize) {
        throw std::runtime_error("Could not get computer name.");
    }
    std::size_t count = 0;
    if (!sources.user_name(buffer + length, kBufferSize - length, &count) || count == 0 ||
        length + count > kBufferSize) {
        throw std::runtime_error("Could not get user name.");
    }
    length += count - 1;
    for (std::size_t i = length; i < kMinLength; ++i) buffer[i] = L'W';
    if (length > kMaxLength) buffer[kMaxLength] = L'\0';
    return std::wstring(buffer);
}

AppIdentity make_app_identity() { return AppIdentity{L"glowrig", make_user_id()}; }

}  // namespace cli
