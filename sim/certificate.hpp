#ifndef GLOWRIG_SIM_CERTIFICATE_HPP_
#define GLOWRIG_SIM_CERTIFICATE_HPP_

#include <string>

namespace Sim {

// A self-signed certificate and its private key, in PEM.
struct Certificate {
    std::string certificate_pem;
    std::string key_pem;
    std::string sha256;  // fingerprint: upper-case hex pairs joined by ':'
};

// Makes a new P-256 key and a self-signed certificate for it whose subject is
// CN=`common_name` alone, without subjectAltName, valid from a day ago for ten
// years. Throws std::runtime_error when OpenSSL fails.
Certificate make_certificate(const std::string& common_name);

}  // namespace Sim

#endif  // GLOWRIG_SIM_CERTIFICATE_HPP_
