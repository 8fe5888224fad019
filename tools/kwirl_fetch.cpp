// kwirl-fetch: one HTTP/1.0 request with the client's own HTTP component.
// The reply's header goes to standard error, its body to standard output (or
// a file); a failed request exits with status 1 and the failure's message.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "NMHttp.h"

namespace {

constexpr const char* kUsage =
    "usage: kwirl-fetch [-I] [-d DATA] [-T FILE] [-x HOST:PORT] [-t MS] [-o FILE] [-u USER:PASSWORD] ADDRESS\n"
    "  -I             HEAD instead of GET\n"
    "  -d DATA        POST the data (form-encoded by the component)\n"
    "  -T FILE        PUT the file's bytes as they are\n"
    "  -x HOST:PORT   go through a proxy\n"
    "  -t MS          time-out for each wait, in milliseconds (default: none)\n"
    "  -o FILE        write the body to FILE instead of standard output\n"
    "  -u USER:PASS   Basic credentials\n";

struct Options {
    bool head = false;
    bool post = false;
    std::string data, proxy, output, credentials, address, upload;
    int timeout = 0;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "-I") {
            options.head = true;
        } else if (arg == "-d" || arg == "-T" || arg == "-x" || arg == "-t" || arg == "-o" || arg == "-u") {
            const char* given = value();
            if (!given) return false;
            if (arg == "-d") options.post = true, options.data = given;
            if (arg == "-T") options.upload = given;
            if (arg == "-x") options.proxy = given;
            if (arg == "-t") options.timeout = std::atoi(given);
            if (arg == "-o") options.output = given;
            if (arg == "-u") options.credentials = given;
        } else if (!arg.empty() && arg[0] == '-') {
            return false;
        } else if (options.address.empty()) {
            options.address = arg;
        } else {
            return false;
        }
    }
    return !options.address.empty();
}

// The whole file, byte for byte.
std::string readWhole(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) throw std::runtime_error("Cannot open file \"" + name + "\": " + std::strerror(errno));
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        kwirl::TNMHTTP http;
        http.TimeOut = options.timeout;
        if (!options.proxy.empty()) {
            const auto colon = options.proxy.rfind(':');
            http.Proxy = options.proxy.substr(0, colon);
            http.ProxyPort = colon == std::string::npos ? 80 : std::atoi(options.proxy.c_str() + colon + 1);
        }
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
        else if (!options.upload.empty()) http.Put(options.address, readWhole(options.upload));
        else if (options.post) http.Post(options.address, options.data);
        else http.Get(options.address);

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
