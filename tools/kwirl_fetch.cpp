// SPDX-License-Identifier: MIT
// kwirl-fetch: one HTTP/1.0 request with the client's own HTTP component.
// The reply's header goes to standard error, its body to standard output (or
// a file); a failed request exits with status 1 and the failure's message, a
// malformed command line with status 2.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

#include "NMHttp.h"
#include "ascii.h"
#include "trusted_certificates.h"

namespace {

constexpr const char* kUsage =
    "usage: kwirl-fetch [-I] [-d DATA] [-T FILE] [-x HOST:PORT] [-t MS] [-o FILE] [-u USER:PASSWORD] [--cacert FILE]\n"
    "                   ADDRESS\n"
    "  -I             HEAD instead of GET\n"
    "  -d DATA        POST the data (form-encoded by the component)\n"
    "  -T FILE        PUT the file's bytes as they are\n"
    "  -x HOST:PORT   go through a proxy\n"
    "  -t MS          time-out for each wait, in milliseconds (default: none)\n"
    "  -o FILE        write the body to FILE instead of standard output\n"
    "  -u USER:PASS   Basic credentials\n"
    "  --cacert FILE  for https: trust the certificates in FILE (PEM) besides the system's\n";

struct Options {
    bool head = false;
    bool post = false;
    std::string data, proxyHost, output, credentials, address, upload, cacert;
    int proxyPort = 0;
    int timeout = 0;
};

// A whole decimal number from `least` to `most`, nothing else; false otherwise.
bool wholeNumber(const std::string& text, int least, int most, int& value) {
    std::uint64_t parsed = 0;
    if (!kwirl::isDecimal(text, static_cast<std::uint64_t>(most), parsed) ||
        parsed < static_cast<std::uint64_t>(least)) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

// Reads the command line into `options`: nothing when it is well formed, else
// what is wrong with it (empty when the usage text alone says it).
std::optional<std::string> parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-I") {
            options.head = true;
        } else if (arg == "-d" || arg == "-T" || arg == "-x" || arg == "-t" || arg == "-o" || arg == "-u" ||
                   arg == "--cacert") {
            if (i + 1 >= argc) return "";
            const std::string given = argv[++i];
            if (arg == "--cacert") options.cacert = given;
            if (arg == "-d") options.post = true, options.data = given;
            if (arg == "-T") options.upload = given;
            if (arg == "-o") options.output = given;
            if (arg == "-u") options.credentials = given;
            if (arg == "-t" && !wholeNumber(given, 0, std::numeric_limits<int>::max(), options.timeout)) {
                return "-t needs a time-out in milliseconds, a whole number from 0: \"" + given + "\"";
            }
            if (arg == "-x") {
                const auto colon = given.rfind(':');
                options.proxyHost = given.substr(0, colon);
                options.proxyPort = 80;
                if (options.proxyHost.empty() || (colon != std::string::npos &&
                                                  !wholeNumber(given.substr(colon + 1), 1, 65535, options.proxyPort))) {
                    return "-x needs HOST or HOST:PORT with a port from 1 to 65535: \"" + given + "\"";
                }
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return "";
        } else if (options.address.empty()) {
            options.address = arg;
        } else {
            return "";
        }
    }
    if (options.address.empty()) return "";
    return std::nullopt;
}

// The whole file, byte for byte.
std::string readWhole(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) throw kwirl::clientFailure(kwirl::Failure::CannotOpenFile, {name, std::strerror(errno)});
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    // A malformed command line exits with status 2, as command-line tools do.
    if (const auto wrong = parse(argc, argv, options)) {
        if (!wrong->empty()) std::fprintf(stderr, "kwirl-fetch: %s\n", wrong->c_str());
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        kwirl::trustAlso(options.cacert);
        kwirl::TNMHTTP http;
        http.TimeOut = options.timeout;
        http.Proxy = options.proxyHost;
        http.ProxyPort = options.proxyPort;
        if (!options.credentials.empty()) {
            const auto colon = options.credentials.find(':');
            http.HeaderInfo.UserId = options.credentials.substr(0, colon);
            if (colon != std::string::npos) http.HeaderInfo.Password = options.credentials.substr(colon + 1);
        }
        if (!options.output.empty()) {
            http.InputFileMode = true;
            http.Body = options.output;
        }
        if (options.head) http.Head(options.address);
        else if (!options.upload.empty())
            http.Put(options.address, readWhole(options.upload));
        else if (options.post)
            http.Post(options.address, options.data);
        else
            http.Get(options.address);

        std::fwrite(http.Header.data(), 1, http.Header.size(), stderr);
        if (!http.InputFileMode) std::fwrite(http.Body.data(), 1, http.Body.size(), stdout);
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fprintf(stderr, "kwirl-fetch: Cannot write standard output: %s\n", std::strerror(errno));
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kwirl-fetch: %s\n", error.what());
        return 1;
    }
}
