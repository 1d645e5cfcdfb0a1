#pragma once
// Keys and certificates made at start: the lab CA (written to lab-ca.pem so the lab can trust it in the
// pc namespace), server certificates it signs (the cloud portal), and self-signed ones (the recorders'
// HTTPS interface, which clients reach without checking). ECDSA P-256 keys, quick to make.

#include "Scenario.h"

#include <string>

struct ServerCertificate
{
    std::string keyPem;
    std::string certPem;
};

class LabCertificates
{
public:
    LabCertificates();
    ~LabCertificates();
    LabCertificates(const LabCertificates&) = delete;
    LabCertificates& operator=(const LabCertificates&) = delete;

    // Makes the CA key and certificate ("HXT lab CA").
    bool createAuthority(std::string& error);
    // Writes the CA certificate to DIR/lab-ca.pem (atomically, by rename).
    bool writeAuthority(const std::string& dir, std::string& error) const;
    // Writes DIR/NAME-cert.pem and DIR/NAME-key.pem (for looking at what a server presents).
    static bool writeServer(
        const std::string& dir, const std::string& name, const ServerCertificate& certificate, std::string& error);
    // A server certificate for host name and address, signed by the CA.
    bool issue(const std::string& host, const Ipv4& ip, ServerCertificate& out, std::string& error) const;
    // A self-signed server certificate naming the address (and an optional host name).
    bool selfSigned(const std::string& commonName, const Ipv4& ip, ServerCertificate& out, std::string& error) const;

private:
    bool make(const std::string& commonName, const std::string& host, const Ipv4& ip, bool signedByAuthority,
        ServerCertificate& out, std::string& error) const;

    void* caKey = nullptr; // gnutls_x509_privkey_t
    void* caCert = nullptr; // gnutls_x509_crt_t
    std::string caPem;
};
