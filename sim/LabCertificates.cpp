// Lab CA and server certificates with GnuTLS.
#include "LabCertificates.h"

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::atomic<unsigned> serialCounter { 1 };

bool failed(int rc, const char* what, std::string& error)
{
    if (rc >= 0) {
        return false;
    }
    error = std::string(what) + ": " + gnutls_strerror(rc);
    return true;
}

bool newKey(gnutls_x509_privkey_t& key, std::string& error)
{
    if (failed(gnutls_x509_privkey_init(&key), "key init", error)) {
        return false;
    }
    return !failed(
        gnutls_x509_privkey_generate(key, GNUTLS_PK_ECDSA, GNUTLS_CURVE_TO_BITS(GNUTLS_ECC_CURVE_SECP256R1), 0),
        "key generation", error);
}

std::string exportCert(gnutls_x509_crt_t cert)
{
    gnutls_datum_t out {};
    if (gnutls_x509_crt_export2(cert, GNUTLS_X509_FMT_PEM, &out) < 0) {
        return {};
    }
    std::string pem(reinterpret_cast<const char*>(out.data), out.size);
    gnutls_free(out.data);
    return pem;
}

std::string exportKey(gnutls_x509_privkey_t key)
{
    gnutls_datum_t out {};
    if (gnutls_x509_privkey_export2(key, GNUTLS_X509_FMT_PEM, &out) < 0) {
        return {};
    }
    std::string pem(reinterpret_cast<const char*>(out.data), out.size);
    gnutls_free(out.data);
    return pem;
}

// Common fields: version 3, a serial, valid from an hour ago for two years, subject key id.
bool prepare(gnutls_x509_crt_t cert, gnutls_x509_privkey_t key, const std::string& dn, std::string& error)
{
    unsigned serial = serialCounter++ + static_cast<unsigned>(std::time(nullptr) & 0xFFFFFF) * 64;
    unsigned char serialBytes[4]
        = { static_cast<unsigned char>((serial >> 24) & 0x7F), static_cast<unsigned char>(serial >> 16),
              static_cast<unsigned char>(serial >> 8), static_cast<unsigned char>(serial) };
    const char* where = nullptr;
    time_t now = std::time(nullptr);
    if (failed(gnutls_x509_crt_set_version(cert, 3), "version", error)
        || failed(gnutls_x509_crt_set_serial(cert, serialBytes, sizeof serialBytes), "serial", error)
        || failed(gnutls_x509_crt_set_activation_time(cert, now - 3600), "activation", error)
        || failed(gnutls_x509_crt_set_expiration_time(cert, now + 2 * 365 * 86400), "expiration", error)
        || failed(gnutls_x509_crt_set_dn(cert, dn.c_str(), &where), "subject", error)
        || failed(gnutls_x509_crt_set_key(cert, key), "public key", error)) {
        return false;
    }
    unsigned char id[64];
    size_t idSize = sizeof id;
    if (gnutls_x509_crt_get_key_id(cert, GNUTLS_KEYID_USE_SHA1, id, &idSize) >= 0) {
        gnutls_x509_crt_set_subject_key_id(cert, id, idSize);
    }
    return true;
}

} // namespace

LabCertificates::LabCertificates()
{
    gnutls_global_init();
}

LabCertificates::~LabCertificates()
{
    if (caCert != nullptr) {
        gnutls_x509_crt_deinit(static_cast<gnutls_x509_crt_t>(caCert));
    }
    if (caKey != nullptr) {
        gnutls_x509_privkey_deinit(static_cast<gnutls_x509_privkey_t>(caKey));
    }
    gnutls_global_deinit();
}

bool LabCertificates::createAuthority(std::string& error)
{
    gnutls_x509_privkey_t key = nullptr;
    if (!newKey(key, error)) {
        return false;
    }
    caKey = key;
    gnutls_x509_crt_t cert = nullptr;
    if (failed(gnutls_x509_crt_init(&cert), "certificate init", error)) {
        return false;
    }
    caCert = cert;
    if (!prepare(cert, key, "CN=HXT lab CA,O=HXT lab", error)
        || failed(gnutls_x509_crt_set_basic_constraints(cert, 1, -1), "constraints", error)
        || failed(gnutls_x509_crt_set_key_usage(cert, GNUTLS_KEY_KEY_CERT_SIGN | GNUTLS_KEY_CRL_SIGN), "usage", error)
        || failed(gnutls_x509_crt_sign2(cert, cert, key, GNUTLS_DIG_SHA256, 0), "CA signature", error)) {
        return false;
    }
    caPem = exportCert(cert);
    if (caPem.empty()) {
        error = "CA export failed";
        return false;
    }
    return true;
}

namespace {

// Writes beside the target and renames over it, so a reader never sees half a file.
bool writeFile(const std::string& path, const std::string& text, mode_t mode, std::string& error)
{
    std::string temporary = path + ".tmp";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        error = "cannot write " + temporary;
        return false;
    }
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace

bool LabCertificates::writeAuthority(const std::string& dir, std::string& error) const
{
    return writeFile(dir + "/lab-ca.pem", caPem, 0644, error);
}

bool LabCertificates::writeServer(
    const std::string& dir, const std::string& name, const ServerCertificate& certificate, std::string& error)
{
    return writeFile(dir + "/" + name + "-cert.pem", certificate.certPem, 0644, error)
        && writeFile(dir + "/" + name + "-key.pem", certificate.keyPem, 0600, error);
}

bool LabCertificates::issue(const std::string& host, const Ipv4& ip, ServerCertificate& out, std::string& error) const
{
    if (caCert == nullptr) {
        error = "no lab CA";
        return false;
    }
    return make(host, host, ip, true, out, error);
}

bool LabCertificates::selfSigned(
    const std::string& commonName, const Ipv4& ip, ServerCertificate& out, std::string& error) const
{
    return make(commonName, "", ip, false, out, error);
}

bool LabCertificates::make(const std::string& commonName, const std::string& host, const Ipv4& ip,
    bool signedByAuthority, ServerCertificate& out, std::string& error) const
{
    gnutls_x509_privkey_t key = nullptr;
    gnutls_x509_crt_t cert = nullptr;
    bool ok = newKey(key, error) && !failed(gnutls_x509_crt_init(&cert), "certificate init", error)
        && prepare(cert, key, "CN=" + commonName + ",O=HXT lab", error)
        && !failed(gnutls_x509_crt_set_basic_constraints(cert, 0, -1), "constraints", error)
        && !failed(gnutls_x509_crt_set_key_usage(cert, GNUTLS_KEY_DIGITAL_SIGNATURE | GNUTLS_KEY_KEY_ENCIPHERMENT),
            "usage", error)
        && !failed(gnutls_x509_crt_set_key_purpose_oid(cert, GNUTLS_KP_TLS_WWW_SERVER, 0), "purpose", error);
    if (ok && !host.empty()) {
        ok = !failed(gnutls_x509_crt_set_subject_alt_name(
                         cert, GNUTLS_SAN_DNSNAME, host.data(), static_cast<unsigned>(host.size()), GNUTLS_FSAN_APPEND),
            "host name", error);
    }
    if (ok) {
        ok = !failed(gnutls_x509_crt_set_subject_alt_name(cert, GNUTLS_SAN_IPADDRESS, ip.data(), 4, GNUTLS_FSAN_APPEND),
            "address", error);
    }
    if (ok && signedByAuthority) {
        auto issuer = static_cast<gnutls_x509_crt_t>(caCert);
        unsigned char id[64];
        size_t idSize = sizeof id;
        if (gnutls_x509_crt_get_subject_key_id(issuer, id, &idSize, nullptr) >= 0) {
            gnutls_x509_crt_set_authority_key_id(cert, id, idSize);
        }
        ok = !failed(
            gnutls_x509_crt_sign2(cert, issuer, static_cast<gnutls_x509_privkey_t>(caKey), GNUTLS_DIG_SHA256, 0),
            "signature", error);
    } else if (ok) {
        ok = !failed(gnutls_x509_crt_sign2(cert, cert, key, GNUTLS_DIG_SHA256, 0), "signature", error);
    }
    if (ok) {
        out.certPem = exportCert(cert);
        out.keyPem = exportKey(key);
        ok = !out.certPem.empty() && !out.keyPem.empty();
        if (!ok) {
            error = "certificate export failed";
        }
    }
    if (cert != nullptr) {
        gnutls_x509_crt_deinit(cert);
    }
    if (key != nullptr) {
        gnutls_x509_privkey_deinit(key);
    }
    return ok;
}
