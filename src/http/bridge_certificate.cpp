#include "http/bridge_certificate.hpp"

#include <optional>

#include "util/text.hpp"

namespace Http {
CertificateCheck bridge_certificate_check(const std::string& id, const std::string& pin,
                                          const std::shared_ptr<Certificate>& shown) {
    const std::string expected = Util::lower_case(id);
    return [expected, pin, shown](const Certificate& certificate) -> std::optional<std::string> {
        *shown = certificate;
        if (certificate.common_name != expected) {
            return "Error: the certificate of bridge " + expected + " names " +
                   (certificate.common_name.empty() ? std::string("no bridge")
                                                    : "'" + certificate.common_name + "'") +
                   ".";
        }
        if (!pin.empty() && certificate.sha256 != pin) {
            return "Error: bridge " + expected + " shows the certificate " + certificate.sha256 +
                   ", not the pinned " + pin +
                   "; if it was reset or replaced, run 'glowrig config --auth' to trust the new "
                   "one.";
        }
        return std::nullopt;
    };
}

}  // namespace Http
