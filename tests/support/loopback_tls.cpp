// SPDX-License-Identifier: MIT
#include "loopback_tls.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <gnutls/gnutls.h>
#include <gnutls/x509.h>
#include <stdlib.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace kwirl::test {

namespace {

void check(int result, const char* what) {
    if (result < 0) throw std::runtime_error(std::string(what) + ": " + gnutls_strerror(result));
}

// A string's bytes as the library takes them, for as long as the string lives.
gnutls_datum_t datumOf(const std::string& text) {
    return {reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())), static_cast<unsigned>(text.size())};
}

// What the library exported, as text; its buffer freed.
std::string takeText(gnutls_datum_t& out) {
    std::string text(reinterpret_cast<char*>(out.data), out.size);
    gnutls_free(out.data);
    return text;
}

struct Key {
    gnutls_x509_privkey_t key = nullptr;
    Key() {
        check(gnutls_x509_privkey_init(&key), "key");
        check(gnutls_x509_privkey_generate(key, GNUTLS_PK_ECDSA, GNUTLS_CURVE_TO_BITS(GNUTLS_ECC_CURVE_SECP256R1), 0),
              "key generation");
    }
    explicit Key(const std::string& pem) {
        check(gnutls_x509_privkey_init(&key), "key");
        const gnutls_datum_t data = datumOf(pem);
        check(gnutls_x509_privkey_import(key, &data, GNUTLS_X509_FMT_PEM), "key import");
    }
    ~Key() { gnutls_x509_privkey_deinit(key); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    std::string pem() const {
        gnutls_datum_t out{};
        check(gnutls_x509_privkey_export2(key, GNUTLS_X509_FMT_PEM, &out), "key export");
        return takeText(out);
    }
};

struct Certificate {
    gnutls_x509_crt_t crt = nullptr;
    Certificate() { check(gnutls_x509_crt_init(&crt), "certificate"); }
    explicit Certificate(const std::string& pem) : Certificate() {
        const gnutls_datum_t data = datumOf(pem);
        check(gnutls_x509_crt_import(crt, &data, GNUTLS_X509_FMT_PEM), "certificate import");
    }
    ~Certificate() { gnutls_x509_crt_deinit(crt); }
    Certificate(const Certificate&) = delete;
    Certificate& operator=(const Certificate&) = delete;
    std::string pem() const {
        gnutls_datum_t out{};
        check(gnutls_x509_crt_export2(crt, GNUTLS_X509_FMT_PEM, &out), "certificate export");
        return takeText(out);
    }
};

// The fields every certificate here has; a new serial each time.
void describe(Certificate& made, const Key& key, const std::string& commonName, Validity validity) {
    static std::atomic<unsigned> serial{1};
    const unsigned number = serial++;
    const unsigned char serialBytes[] = {static_cast<unsigned char>(number >> 8), static_cast<unsigned char>(number)};
    check(gnutls_x509_crt_set_version(made.crt, 3), "version");
    check(gnutls_x509_crt_set_serial(made.crt, serialBytes, sizeof serialBytes), "serial");
    const std::time_t now = std::time(nullptr);
    check(gnutls_x509_crt_set_activation_time(made.crt, now + validity.from), "activation");
    check(gnutls_x509_crt_set_expiration_time(made.crt, now + validity.until), "expiration");
    check(gnutls_x509_crt_set_dn_by_oid(made.crt, GNUTLS_OID_X520_COMMON_NAME, 0, commonName.data(),
                                        static_cast<unsigned>(commonName.size())),
          "name");
    check(gnutls_x509_crt_set_key(made.crt, key.key), "public key");
}

void nameServer(Certificate& made, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        unsigned char address[4];
        if (inet_pton(AF_INET, name.c_str(), address) == 1) {
            check(gnutls_x509_crt_set_subject_alt_name(made.crt, GNUTLS_SAN_IPADDRESS, address, sizeof address,
                                                       GNUTLS_FSAN_APPEND),
                  "address");
        } else {
            check(gnutls_x509_crt_set_subject_alt_name(made.crt, GNUTLS_SAN_DNSNAME, name.data(),
                                                       static_cast<unsigned>(name.size()), GNUTLS_FSAN_APPEND),
                  "host name");
        }
    }
    check(gnutls_x509_crt_set_basic_constraints(made.crt, 0, -1), "constraints");
    check(gnutls_x509_crt_set_key_usage(made.crt, GNUTLS_KEY_DIGITAL_SIGNATURE), "usage");
    check(gnutls_x509_crt_set_key_purpose_oid(made.crt, GNUTLS_KP_TLS_WWW_SERVER, 0), "purpose");
}

std::string readHead(gnutls_session_t session) {
    std::string head;
    char part[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const auto got = gnutls_record_recv(session, part, sizeof part);
        if (got == GNUTLS_E_AGAIN || got == GNUTLS_E_INTERRUPTED) continue;
        if (got <= 0) break;
        head.append(part, static_cast<std::size_t>(got));
    }
    return head;
}

}  // namespace

TestAuthority::TestAuthority() {
    const Key key;
    Certificate own;
    describe(own, key, "Kwirl test authority", {});
    check(gnutls_x509_crt_set_basic_constraints(own.crt, 1, -1), "constraints");
    check(gnutls_x509_crt_set_key_usage(own.crt, GNUTLS_KEY_KEY_CERT_SIGN | GNUTLS_KEY_CRL_SIGN), "usage");
    check(gnutls_x509_crt_sign2(own.crt, own.crt, key.key, GNUTLS_DIG_SHA256, 0), "signature");
    own_ = {own.pem(), key.pem()};
    char folder[] = "/tmp/kwirl-test-authority.XXXXXX";
    if (!mkdtemp(folder)) throw std::runtime_error("no folder for the test authority");
    file_ = std::string(folder) + "/authority.pem";
    std::ofstream(file_) << own_.certificate;
}

TestCertificate TestAuthority::issue(const std::vector<std::string>& names, Validity validity) const {
    const Key key;
    const Key authorityKey(own_.key);
    const Certificate authority(own_.certificate);
    Certificate made;
    describe(made, key, names.empty() ? "nobody" : names.front(), validity);
    nameServer(made, names);
    check(gnutls_x509_crt_sign2(made.crt, authority.crt, authorityKey.key, GNUTLS_DIG_SHA256, 0), "signature");
    return {made.pem(), key.pem()};
}

TestCertificate TestAuthority::selfSigned(const std::vector<std::string>& names) {
    const Key key;
    Certificate made;
    describe(made, key, names.empty() ? "nobody" : names.front(), {});
    nameServer(made, names);
    check(gnutls_x509_crt_sign2(made.crt, made.crt, key.key, GNUTLS_DIG_SHA256, 0), "signature");
    return {made.pem(), key.pem()};
}

namespace {

// A server's TLS session on an accepted connection, from the handshake on.
class ServerSession {
public:
    ServerSession(const TestCertificate& certificate, int fd) {
        if (gnutls_certificate_allocate_credentials(&credentials_) < 0) return;
        const gnutls_datum_t cert = datumOf(certificate.certificate);
        const gnutls_datum_t key = datumOf(certificate.key);
        if (gnutls_certificate_set_x509_key_mem(credentials_, &cert, &key, GNUTLS_X509_FMT_PEM) < 0 ||
            gnutls_init(&session_, GNUTLS_SERVER | GNUTLS_NO_SIGNAL) < 0) {
            session_ = nullptr;
            return;
        }
        gnutls_set_default_priority(session_);
        gnutls_credentials_set(session_, GNUTLS_CRD_CERTIFICATE, credentials_);
        gnutls_transport_set_int(session_, fd);
        int result;
        do {
            result = gnutls_handshake(session_);
        } while (result < 0 && !gnutls_error_is_fatal(result));
        open_ = result >= 0;
    }
    ~ServerSession() {
        if (session_) gnutls_deinit(session_);
        if (credentials_) gnutls_certificate_free_credentials(credentials_);
    }
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    bool open() const { return open_; }
    gnutls_session_t session() const { return session_; }
    bool send(const char* data, std::size_t size) {
        for (std::size_t at = 0; at < size;) {
            const auto sent = gnutls_record_send(session_, data + at, size - at);
            if (sent == GNUTLS_E_AGAIN || sent == GNUTLS_E_INTERRUPTED) continue;
            if (sent <= 0) return false;
            at += static_cast<std::size_t>(sent);
        }
        return true;
    }
    void close() { gnutls_bye(session_, GNUTLS_SHUT_WR); }

private:
    gnutls_certificate_credentials_t credentials_ = nullptr;
    gnutls_session_t session_ = nullptr;
    bool open_ = false;
};

int connectToLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

}  // namespace

LoopbackCertificate::LoopbackCertificate() : certificate_(TestAuthority::selfSigned({"127.0.0.1", "localhost"})) {
    char folder[] = "/tmp/kwirl-test-certificate.XXXXXX";
    if (!mkdtemp(folder)) throw std::runtime_error("no folder for the test certificate");
    pemFile_ = std::string(folder) + "/certificate.pem";
    std::ofstream(pemFile_) << certificate_.certificate;
}

LoopbackCertificate::~LoopbackCertificate() {
    std::remove(pemFile_.c_str());
    ::rmdir(pemFile_.substr(0, pemFile_.rfind('/')).c_str());
}

LoopbackServer::ConnectionHandler tlsResponder(TestCertificate certificate,
                                               std::function<std::string(const std::string& head)> respond) {
    return [certificate = std::move(certificate), respond = std::move(respond)](LoopbackServer& server, int fd) {
        ServerSession tls(certificate, fd);
        if (!tls.open()) return;
        const std::string head = readHead(tls.session());
        if (head.empty()) return;
        server.recordRequestLine(head.substr(0, head.find("\r\n")));
        const std::string reply = respond(head);
        if (tls.send(reply.data(), reply.size())) tls.close();
    };
}

LoopbackServer::ConnectionHandler tlsFrontOf(TestCertificate certificate, std::uint16_t backendPort) {
    return [certificate = std::move(certificate), backendPort](LoopbackServer&, int fd) {
        ServerSession tls(certificate, fd);
        if (!tls.open()) return;
        const int backend = connectToLoopback(backendPort);
        if (backend < 0) return;
        char part[16384];
        for (bool clientOpen = true;;) {
            pollfd both[] = {{fd, static_cast<short>(clientOpen ? POLLIN : 0), 0}, {backend, POLLIN, 0}};
            if (gnutls_record_check_pending(tls.session()) == 0 && ::poll(both, 2, -1) < 0) break;
            if (clientOpen && (gnutls_record_check_pending(tls.session()) > 0 || both[0].revents)) {
                const auto got = gnutls_record_recv(tls.session(), part, sizeof part);
                if (got > 0) {
                    if (!sendAll(backend, std::string(part, static_cast<std::size_t>(got)))) break;
                } else if (got != GNUTLS_E_AGAIN && got != GNUTLS_E_INTERRUPTED) {
                    clientOpen = false;
                    ::shutdown(backend, SHUT_WR);
                }
            }
            if (both[1].revents) {
                const auto got = ::recv(backend, part, sizeof part, 0);
                if (got == 0) tls.close();
                if (got <= 0) break;
                if (!tls.send(part, static_cast<std::size_t>(got))) break;
            }
        }
        ::close(backend);
    };
}

}  // namespace kwirl::test
