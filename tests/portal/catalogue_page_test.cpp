// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "catalogue_page.h"

namespace kwirl {

std::ostream& operator<<(std::ostream& out, const CatalogueEntry& e) {
    return out << "{" << e.name << ", " << e.address << "}";
}

namespace {

using Entries = std::vector<CatalogueEntry>;

std::string entry(const std::string& pageAddress, const std::string& name) {
    return "<kk ref=\"" + pageAddress + "\">" + name + "</kk>";
}

TEST(CataloguePage, TheWorkedExample) {
    const std::string body = "<html><body>\r\n" + entry("Xtp://host/libz3z5", "Big animals") + "\r\n" +
                             entry("Xtp://host/artz3z6/", "Art") + "\r\n</body></html>\r\n";
    EXPECT_EQ(parseCataloguePage(body),
              (Entries{{"Big animals", "http://host/libzZz5"}, {"Art", "http://host/artzZz6/"}}));
}

TEST(CataloguePage, HowUnusualPagesAreRead) {
    const std::string crlf = "\r\n";
    struct Case {
        const char* what;
        std::string body;
        Entries expected;
    } cases[] = {
        {"no tag", "<html>nothing here</html>", {}},
        {"address without z3z",
         entry("Xtp://host/plain", "No marker") + crlf + "tail",
         {{"No marker", "zZztp://host/plain"}}},
        {"name with >", entry("Xtp://h/az3z", "Name>with>gt") + crlf + "tail", {{"Name>with>gt", "http://h/azZz"}}},
        {"empty name", entry("Xtp://h/az3z", "") + crlf + "tail", {{"", "http://h/azZz"}}},
        {"two entries with nothing between",
         entry("Xtp://h/az3z", "A") + entry("Xtp://h/bz3z", "B") + crlf + "tail",
         {{"A", "http://h/azZz"}}},
        {"a /kk> before the first tag",
         "junk/kk>" + crlf + entry("Xtp://h/az3z", "A") + crlf + "tail",
         {{"", "zZz"}, {"A", "http://h/azZz"}}},
        {"only the first z3z turns", entry("Xtp://h/z3z/z3z", "Z") + crlf + "tail", {{"Z", "http://h/zZz/z3z"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(parseCataloguePage(c.body), c.expected) << c.what;
}

TEST(CataloguePage, TheTextShrinksByOneCharacterPerEntry) {
    std::string four;
    for (const char* name : {"A", "B", "C", "D"}) four += entry(std::string("Xtp://h/") + name + "z3z", name) + "\r\n";
    const Entries shortened = parseCataloguePage(four);
    ASSERT_EQ(shortened.size(), 4u);
    EXPECT_EQ(shortened[3], (CatalogueEntry{"", "zZz"}));  // the last entry lost its end
    const Entries intact = parseCataloguePage(four + "x");
    ASSERT_EQ(intact.size(), 4u);
    EXPECT_EQ(intact[3], (CatalogueEntry{"D", "http://h/DzZz"}));
}

TEST(CataloguePage, StopsAtAHundredEntries) {
    std::string body;
    for (int i = 0; i < 101; ++i)
        body += entry("Xtp://h/" + std::to_string(i) + "z3z", "n" + std::to_string(i)) + "\r\n";
    body += std::string(200, ' ');
    const Entries entries = parseCataloguePage(body);
    ASSERT_EQ(entries.size(), 100u);
    EXPECT_EQ(entries[99], (CatalogueEntry{"n99", "http://h/99zZz"}));
}

TEST(CataloguePage, ATextBoxHoldsTheBodyUpToItsFirstNul) {
    EXPECT_EQ(untilFirstNul(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(untilFirstNul(std::string("\0abc", 4)), "");
    EXPECT_EQ(untilFirstNul("abc"), "abc");
}

TEST(CataloguePage, HostileTextStaysBounded) {
    // Tags without ends, and ends without tags, in quantity: no more than 100 entries, quickly.
    std::string body;
    for (int i = 0; i < 10000; ++i) body += "<kk ref=/kk>";
    EXPECT_EQ(parseCataloguePage(body).size(), 100u);
    EXPECT_EQ(parseCataloguePage(std::string(100000, '<')).size(), 0u);
}

}  // namespace
}  // namespace kwirl
