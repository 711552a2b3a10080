// The REST library hands the host of a URL to the system's address lookup as
// it stands in the URL, so an IPv6 address arrives in brackets ("[::1]") and
// the lookup fails with "Error resolving address". glowrig only ever talks to
// numeric addresses or the portal's host name; this definition, which the
// program's own symbol puts ahead of the C library's, takes the brackets off
// an IPv6 literal and lets the lookup read it as a number, never as a name.

#include <cstring>
#include <string>

#include <dlfcn.h>
#include <netdb.h>

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) noexcept {
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto next = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (next == nullptr) return EAI_SYSTEM;
    const std::size_t length = node == nullptr ? 0 : std::strlen(node);
    if (length < 3 || node[0] != '[' || node[length - 1] != ']') {
        return next(node, service, hints, result);
    }
    const std::string literal(node + 1, length - 2);
    addrinfo numeric{};
    if (hints != nullptr) numeric = *hints;
    numeric.ai_flags |= AI_NUMERICHOST;
    numeric.ai_family = AF_INET6;
    return next(literal.c_str(), service, &numeric, result);
}
