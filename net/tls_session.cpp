// SPDX-License-Identifier: MIT
#include "tls_session.h"

#include <arpa/inet.h>
#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "sock_errors.h"
#include "trusted_certificates.h"

namespace kwirl {

namespace {

// The most plain text read ahead of what is taken: one TLS record's worth.
constexpr std::size_t kRecordBytes = 16384;

// The trust store, read once and again only when the certificates trusted
// besides the system's change: reading the system's takes milliseconds.
class Credentials {
public:
    static gnutls_certificate_credentials_t get() {
        static Credentials shared;
        const std::string& also = alsoTrustedCertificates();
        if (!shared.credentials_ || shared.also_ != also) shared.load(also);
        return shared.credentials_;
    }
    ~Credentials() { free(); }

private:
    void free() {
        if (credentials_) gnutls_certificate_free_credentials(credentials_);
        credentials_ = nullptr;
    }
    void load(const std::string& also) {
        free();
        gnutls_certificate_credentials_t made = nullptr;
        if (gnutls_certificate_allocate_credentials(&made) < 0) {
            throw clientFailure(Failure::TlsSetupFailed, {"no memory for the trust store"});
        }
        // A system without a trust store trusts nothing: every check then fails as untrusted.
        gnutls_certificate_set_x509_system_trust(made);
        if (!also.empty() && gnutls_certificate_set_x509_trust_file(made, also.c_str(), GNUTLS_X509_FMT_PEM) < 0) {
            gnutls_certificate_free_credentials(made);
            throw clientFailure(Failure::TlsSetupFailed, {"the certificates in " + also + " cannot be read"});
        }
        credentials_ = made;
        also_ = also;
    }

    gnutls_certificate_credentials_t credentials_ = nullptr;
    std::string also_;
};

bool isAddressLiteral(const std::string& host) {
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

bool wouldBlock(int result) { return result == GNUTLS_E_AGAIN || result == GNUTLS_E_INTERRUPTED; }

// What the check of the server's certificate found, as the failure it is.
ESockError certificateFailure(gnutls_session_t session, const std::string& host) {
    const unsigned status = gnutls_session_get_verify_cert_status(session);
    if (status & (GNUTLS_CERT_EXPIRED | GNUTLS_CERT_NOT_ACTIVATED)) return clientFailure(Failure::TlsExpired, {host});
    if (status & GNUTLS_CERT_UNEXPECTED_OWNER) return clientFailure(Failure::TlsWrongHost, {host});
    gnutls_datum_t text{};
    std::string why = "no reason given";
    if (gnutls_certificate_verification_status_print(status, GNUTLS_CRT_X509, &text, 0) == 0) {
        why.assign(reinterpret_cast<const char*>(text.data), text.size);
        gnutls_free(text.data);
    }
    return clientFailure(Failure::TlsUntrusted, {host, why});
}

}  // namespace

TTlsSession::TTlsSession(int fd, const std::string& host) : host_(host) {
    gnutls_certificate_credentials_t credentials = Credentials::get();
    if (gnutls_init(&session_, GNUTLS_CLIENT | GNUTLS_NONBLOCK | GNUTLS_NO_SIGNAL) < 0) {
        session_ = nullptr;
        throw clientFailure(Failure::TlsSetupFailed, {"no session could be made"});
    }
    // A name, not an address, goes in the greeting; both are checked against the certificate.
    const bool named =
        !isAddressLiteral(host) && gnutls_server_name_set(session_, GNUTLS_NAME_DNS, host.data(), host.size()) == 0;
    if ((!named && !isAddressLiteral(host)) || gnutls_set_default_priority(session_) < 0 ||
        gnutls_credentials_set(session_, GNUTLS_CRD_CERTIFICATE, credentials) < 0) {
        gnutls_deinit(session_);
        session_ = nullptr;
        throw clientFailure(Failure::TlsSetupFailed, {"the session could not be set up for " + host});
    }
    gnutls_session_set_verify_cert(session_, host_.c_str(), 0);
    // The transport's own time-out bounds each wait of the handshake.
    gnutls_handshake_set_timeout(session_, 0);
    gnutls_transport_set_int(session_, fd);
}

TTlsSession::~TTlsSession() {
    if (session_) gnutls_deinit(session_);
}

TTlsSession::Need TTlsSession::handshake() {
    for (;;) {
        const int result = gnutls_handshake(session_);
        if (result == GNUTLS_E_SUCCESS) return Need::Nothing;
        if (wouldBlock(result)) return gnutls_record_get_direction(session_) ? Need::Writable : Need::Readable;
        if (!gnutls_error_is_fatal(result)) continue;  // a warning from the server: the handshake goes on
        if (result == GNUTLS_E_CERTIFICATE_VERIFICATION_ERROR) throw certificateFailure(session_, host_);
        throw clientFailure(Failure::TlsHandshakeFailed, {host_, gnutls_strerror(result)});
    }
}

std::int64_t TTlsSession::takeText(char* into, std::size_t room, bool peek) {
    const std::size_t taken = std::min(room, text_.size());
    std::memcpy(into, text_.data(), taken);
    if (!peek) text_.erase(0, taken);
    return static_cast<std::int64_t>(taken);
}

std::int64_t TTlsSession::receive(char* into, std::size_t room, bool peek) {
    if (room == 0) return 0;
    if (!text_.empty()) return takeText(into, room, peek);
    // A whole record, and whatever the library holds decrypted besides: the
    // socket's readiness then tells what is still to come.
    char record[kRecordBytes];
    do {
        const auto got = gnutls_record_recv(session_, record, sizeof record);
        if (got > 0) {
            text_.append(record, static_cast<std::size_t>(got));
            continue;
        }
        if (!text_.empty()) break;
        if (got == 0) return 0;  // the server's close, announced inside the tunnel
        // A close that was not announced: whoever is on the way may have cut
        // the reply short. A reply that says its length is read to it first.
        if (got == GNUTLS_E_PREMATURE_TERMINATION) {
            throw clientFailure(Failure::TlsFailed, {host_, "the connection ended unannounced: the reply may be cut"});
        }
        if (wouldBlock(static_cast<int>(got)) || !gnutls_error_is_fatal(static_cast<int>(got))) return -1;
        throw clientFailure(Failure::TlsFailed, {host_, gnutls_strerror(static_cast<int>(got))});
    } while (gnutls_record_check_pending(session_) > 0 && text_.size() < kRecordBytes * 4);
    return takeText(into, room, peek);
}

std::int64_t TTlsSession::send(const char* data, std::size_t length) {
    const auto sent = gnutls_record_send(session_, data, length);
    if (sent >= 0) return sent;
    if (wouldBlock(static_cast<int>(sent))) return -1;
    throw clientFailure(Failure::TlsFailed, {host_, gnutls_strerror(static_cast<int>(sent))});
}

void TTlsSession::closeQuietly() noexcept { gnutls_bye(session_, GNUTLS_SHUT_WR); }

}  // namespace kwirl
