// SPDX-License-Identifier: MIT
// The demo portal's catalogue page, read by the client's own loader, yields
// exactly the libraries the portal lists.

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <memory>

#include "NMHttp.h"
#include "catalogue_fetch.h"
#include "portal_host.h"

namespace kwirl {
namespace {

std::string run(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
    return output;
}

TEST(DemoPortalCatalogue, TheClientReadsExactlyTheListedLibraries) {
    const std::string portal = KWIRL_SOURCE_DIR "/demo-portal";
    const std::string host = "127.0.0.1:18643";
    const std::string pid = run("python3 " + portal + "/server.py --listen " + host + " --background");
    ASSERT_FALSE(pid.empty());
    const std::string listed = run("cd " + portal +
                                   " && python3 -c \"import pages; print('\\n'.join(pages.LIBRARIES[n][0] for n in "
                                   "pages.CATALOGUE_ORDER))\"");
    TNMHTTP http;
    const auto fetched = fetchCatalogue(http, "http://" + host + "/index.php?name=servstop");
    kill(std::stoi(pid), SIGTERM);

    EXPECT_TRUE(fetched.loaded);
    std::string names;
    for (const auto& entry : fetched.entries) {
        names += entry.name + "\n";
        EXPECT_EQ(entry.address.rfind(portalSchemePrefix() + host + "/index.php?name=", 0), 0u) << entry.address;
        EXPECT_NE(entry.address.find("&op=pz6m&src=zZz"), std::string::npos) << entry.address;
    }
    EXPECT_EQ(names, listed);
    EXPECT_GE(fetched.entries.size(), 8u);
}

}  // namespace
}  // namespace kwirl
