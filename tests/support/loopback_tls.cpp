// SPDX-License-Identifier: MIT
#include "loopback_tls.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kwirl::test {

namespace {
// A connection that neither shakes hands nor sends its request in this time is dropped.
constexpr guint kConnectionTimeoutSeconds = 10;
constexpr std::size_t kMostHead = 64 * 1024;
}  // namespace

LoopbackCertificate::LoopbackCertificate() {
    char pattern[] = "/tmp/kwirl-test-tls.XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("no folder for the test's certificate");
    folder_ = pattern;
    pemFile_ = folder_ + "/certificate.pem";
    const std::string key = folder_ + "/key.pem";
    const std::string make =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 "
        "-subj /CN=kwirl-test -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout " +
        key + " -out " + pemFile_ + " >/dev/null 2>&1";
    GError* error = nullptr;
    if (std::system(make.c_str()) == 0) {
        certificate_ = g_tls_certificate_new_from_files(pemFile_.c_str(), key.c_str(), &error);
    }
    if (!certificate_) {
        const std::string why = error ? error->message : "the openssl command failed";
        g_clear_error(&error);
        std::filesystem::remove_all(folder_);
        throw std::runtime_error("the test's certificate could not be made: " + why);
    }
}

LoopbackCertificate::~LoopbackCertificate() {
    g_object_unref(certificate_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

LoopbackServer::ConnectionHandler tlsResponder(const LoopbackCertificate& certificate,
                                               std::function<std::string(const std::string& head)> respond) {
    GTlsCertificate* serverCertificate = certificate.serverCertificate();
    return [serverCertificate, respond](LoopbackServer& server, int fd) {
        // The socket takes a descriptor of its own: the server closes `fd`.
        GSocket* socket = g_socket_new_from_fd(dup(fd), nullptr);
        if (!socket) return;
        g_socket_set_timeout(socket, kConnectionTimeoutSeconds);
        GSocketConnection* plain = g_socket_connection_factory_create_connection(socket);
        GIOStream* tls = g_tls_server_connection_new(G_IO_STREAM(plain), serverCertificate, nullptr);
        if (tls && g_tls_connection_handshake(G_TLS_CONNECTION(tls), nullptr, nullptr)) {
            std::string head;
            char buffer[4096];
            GInputStream* in = g_io_stream_get_input_stream(tls);
            while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMostHead) {
                const gssize got = g_input_stream_read(in, buffer, sizeof buffer, nullptr, nullptr);
                if (got <= 0) break;
                head.append(buffer, static_cast<std::size_t>(got));
            }
            if (!head.empty()) {
                server.recordRequestLine(head.substr(0, head.find("\r\n")));
                const std::string reply = respond(head);
                g_output_stream_write_all(g_io_stream_get_output_stream(tls), reply.data(), reply.size(), nullptr,
                                          nullptr, nullptr);
            }
            g_io_stream_close(tls, nullptr, nullptr);
        }
        if (tls) g_object_unref(tls);
        g_object_unref(plain);
        g_object_unref(socket);
    };
}

}  // namespace kwirl::test
