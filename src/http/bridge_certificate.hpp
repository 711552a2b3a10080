#ifndef GLOWRIG_HTTP_BRIDGE_CERTIFICATE_HPP_
#define GLOWRIG_HTTP_BRIDGE_CERTIFICATE_HPP_

#include <memory>
#include <string>

#include "http/exchange.hpp"

namespace Http {

// The check of a bridge's certificate before each request on a connection to
// the bridge `id`: the certificate's CN must be the id in lower case and, when
// `pin` is not empty, its SHA-256 fingerprint must be `pin`. Each certificate
// shown is kept in `shown`, checked or not, so that a caller can pin it.
CertificateCheck bridge_certificate_check(const std::string& id, const std::string& pin,
                                          const std::shared_ptr<Certificate>& shown);

}  // namespace Http

#endif  // GLOWRIG_HTTP_BRIDGE_CERTIFICATE_HPP_
