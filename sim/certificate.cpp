#include "sim/certificate.hpp"

#include <memory>
#include <stdexcept>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>

namespace Sim {
namespace {

template <class T, void (*Free)(T*)>
struct Freer {
    void operator()(T* p) const { Free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY, EVP_PKEY_free>>;
using Cert = std::unique_ptr<X509, Freer<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, Freer<BIO, BIO_free_all>>;

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("cannot make a certificate: ") + what);
}

std::string text_of(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(size));
}

}  // namespace

Certificate make_certificate(const std::string& common_name) {
    Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    check(key != nullptr, "key");
    Cert cert(X509_new());
    check(cert != nullptr, "certificate");
    check(X509_set_version(cert.get(), 2) == 1, "version");
    unsigned char serial[8];
    check(RAND_bytes(serial, sizeof serial) == 1, "serial");
    serial[0] &= 0x7f;
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    check(number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get())), "serial");
    BN_free(number);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24L * 3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 10L * 365 * 24 * 3600);
    X509_NAME* name = X509_get_subject_name(cert.get());
    check(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                     reinterpret_cast<const unsigned char*>(common_name.c_str()),
                                     -1, -1, 0) == 1,
          "name");
    check(X509_set_issuer_name(cert.get(), name) == 1, "issuer");
    check(X509_set_pubkey(cert.get(), key.get()) == 1, "public key");
    check(X509_sign(cert.get(), key.get(), EVP_sha256()) > 0, "signature");

    Certificate made;
    Bio cert_bio(BIO_new(BIO_s_mem()));
    check(PEM_write_bio_X509(cert_bio.get(), cert.get()) == 1, "PEM");
    made.certificate_pem = text_of(cert_bio.get());
    Bio key_bio(BIO_new(BIO_s_mem()));
    check(PEM_write_bio_PrivateKey(key_bio.get(), key.get(), nullptr, nullptr, 0, nullptr,
                                   nullptr) == 1,
          "PEM");
    made.key_pem = text_of(key_bio.get());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    check(X509_digest(cert.get(), EVP_sha256(), digest, &size) == 1, "digest");
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned int i = 0; i < size; ++i) {
        if (i > 0) made.sha256 += ':';
        made.sha256 += kHex[digest[i] >> 4];
        made.sha256 += kHex[digest[i] & 15];
    }
    return made;
}

}  // namespace Sim
