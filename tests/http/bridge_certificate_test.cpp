#include "http/bridge_certificate.hpp"

#include <gtest/gtest.h>

namespace Http {
namespace {

TEST(BridgeCertificateCheck, WantsTheIdInItsNameAndThePinnedFingerprint) {
    const std::string kPinned = "AB:" + std::string(93, '0').replace(2, 1, ":");
    const std::string kOther = "CD:" + std::string(93, '0').replace(2, 1, ":");
    const std::string kPinError =
        "Error: bridge ecb5fafffe0a62c3 shows the certificate " + kOther + ", not the pinned " +
        kPinned +
        "; if it was reset or replaced, run 'glowrig config --auth' to trust the new one.";
    struct Case {
        const char* what;
        const char* common_name;
        std::string sha256;
        std::string pin;
        std::string failure;  // empty: accepted
    } cases[] = {
        {"the id, no pin", "ecb5fafffe0a62c3", kOther, "", ""},
        {"the id, the pin", "ecb5fafffe0a62c3", kPinned, kPinned, ""},
        {"the id, another fingerprint", "ecb5fafffe0a62c3", kOther, kPinned, kPinError},
        {"the id in upper case", "ECB5FAFFFE0A62C3", kPinned, kPinned,
         "Error: the certificate of bridge ecb5fafffe0a62c3 names 'ECB5FAFFFE0A62C3'."},
        {"another bridge", "0000000000000001", kPinned, "",
         "Error: the certificate of bridge ecb5fafffe0a62c3 names '0000000000000001'."},
        {"another bridge with the pin", "0000000000000001", kPinned, kPinned,
         "Error: the certificate of bridge ecb5fafffe0a62c3 names '0000000000000001'."},
        {"no name", "", kPinned, kPinned,
         "Error: the certificate of bridge ecb5fafffe0a62c3 names no bridge."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto shown = std::make_shared<Certificate>();
        // The id is given as bridges tell it, in upper case.
        const CertificateCheck check = bridge_certificate_check("ECB5FAFFFE0A62C3", c.pin, shown);
        const Certificate certificate{c.common_name, c.sha256};
        EXPECT_EQ(c.failure, check(certificate).value_or(""));
        // The certificate is kept whether it passed or not.
        EXPECT_EQ(c.common_name, shown->common_name);
        EXPECT_EQ(c.sha256, shown->sha256);
    }
}

}  // namespace
}  // namespace Http
