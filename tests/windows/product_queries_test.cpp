// Product queries through the installer service of the test machine.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "installer/product_queries.h"

using namespace qv::win;

TEST(ProductQueries, AProductThatIsNotInstalled) {
    const std::string code = "{0F0E0D0C-0B0A-4908-8706-050403020100}";
    EXPECT_FALSE(ProductIsInstalled(code));
    EXPECT_FALSE(InstalledPackageCode(code));
    EXPECT_FALSE(PackageCodeMatches(code, code));
}

TEST(ProductQueries, NewGuidTextHasTheInstallerForm) {
    std::set<std::string> seen;
    for (int i = 0; i < 16; ++i) {
        std::string g = NewGuidText();
        EXPECT_TRUE(std::regex_match(g, std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})"))) << g;
        seen.insert(g);
    }
    EXPECT_EQ(seen.size(), 16u);
}
