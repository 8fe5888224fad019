// SPDX-License-Identifier: MIT
// The HTTP client against a maintained server that nobody here wrote: nginx,
// started on loopback with a configuration of the test's own.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "NMHttp.h"
#include "event_loop.h"
#include "loopback_http_server.h"

namespace kwirl {
namespace {

namespace fs = std::filesystem;
constexpr const char* kNginx = "/usr/sbin/nginx";

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class RealServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!fs::exists(kNginx)) return;
        prefix_ = fs::temp_directory_path() / ("kwirl-nginx-" + std::to_string(getpid()));
        fs::create_directories(prefix_ / "www");
        std::mt19937 random(7);
        for (std::size_t size : {0ul, 1ul, 1024ul, 100'000ul, 5'000'000ul}) {
            std::string bytes(size, '\0');
            for (auto& byte : bytes) byte = static_cast<char>(random());
            std::ofstream(prefix_ / "www" / ("file" + std::to_string(size) + ".bin"), std::ios::binary) << bytes;
        }
        std::ofstream(prefix_ / "www" / "page.html") << "<html><body>hello</body></html>\n";
        port_ = test::unusedLoopbackPort();
        const auto p = prefix_.string();
        std::ofstream(prefix_ / "nginx.conf")
            << "daemon off; master_process off; worker_processes 1; pid " << p << "/nginx.pid;\n"
            << "error_log " << p << "/error.log;\nevents { worker_connections 64; }\n"
            << "http { access_log off; client_body_temp_path " << p << "/body; proxy_temp_path " << p << "/proxy;\n"
            << " fastcgi_temp_path " << p << "/fcgi; uwsgi_temp_path " << p << "/uwsgi; scgi_temp_path " << p
            << "/scgi;\n types { text/html html; application/octet-stream bin; }\n"
            << " server { listen 127.0.0.1:" << port_ << "; root " << p << "/www; } }\n";
        server_ = fork();
        if (server_ == 0) {
            execl(kNginx, kNginx, "-p", p.c_str(), "-c", (p + "/nginx.conf").c_str(), "-e", (p + "/error.log").c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        // Ready once it accepts a connection: asked a few times a second, for at most 10 s.
        for (int attempt = 0; attempt < 100 && !ready(); ++attempt) test::runLoopFor(100);
    }

    static bool ready() {
        TPowersock probe;
        probe.Host = "127.0.0.1";
        probe.Port = port_;
        try {
            probe.Connect();
            return true;
        } catch (const ESockError&) {
            return false;
        }
    }

    static void TearDownTestSuite() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
        if (!prefix_.empty()) fs::remove_all(prefix_);
    }

    void SetUp() override {
        if (!fs::exists(kNginx)) GTEST_SKIP() << "nginx is not installed (scripts/setup.sh installs it)";
        ASSERT_TRUE(ready()) << readFile(prefix_ / "error.log");
    }

    std::string address(const std::string& name) { return "http://127.0.0.1:" + std::to_string(port_) + "/" + name; }

    static inline fs::path prefix_;
    static inline int port_ = 0;
    static inline pid_t server_ = -1;
};

TEST_F(RealServerTest, FilesOfEverySizeArriveByteForByte) {
    for (std::size_t size : {0ul, 1ul, 1024ul, 100'000ul, 5'000'000ul}) {
        const std::string name = "file" + std::to_string(size) + ".bin";
        const std::string expected = readFile(prefix_ / "www" / name);
        TNMHTTP http;
        http.Get(address(name));
        EXPECT_EQ(http.StatusCode, 200) << name;
        EXPECT_EQ(http.ContentLength, static_cast<std::int64_t>(size)) << name;
        EXPECT_TRUE(http.Body == expected) << name << ": " << http.Body.size() << " bytes instead of " << size;

        TNMHTTP toFile;
        toFile.InputFileMode = true;
        toFile.Body = (prefix_ / ("copy-" + name)).string();
        toFile.Get(address(name));
        EXPECT_TRUE(readFile(toFile.Body) == expected) << name << " written to a file";
    }
}

TEST_F(RealServerTest, HeadAndMissingPages) {
    TNMHTTP http;
    http.Head(address("page.html"));
    EXPECT_EQ(http.StatusCode, 200);
    EXPECT_EQ(http.Body, "");
    EXPECT_NE(http.Header.find("Content-Length: 32\r\n"), std::string::npos);

    int failures = 0;
    http.OnFailure = [&](CmdType) { ++failures; };
    http.Get(address("missing.html"));
    EXPECT_EQ(http.StatusCode, 404);
    EXPECT_EQ(failures, 1);
    EXPECT_NE(http.Body.find("404"), std::string::npos);
}

}  // namespace
}  // namespace kwirl
