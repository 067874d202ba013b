#include "installer/components.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(Components, DefineKeepsAnExistingStateAndReplacesTheDescription) {
    ComponentTable t;
    std::vector<ComponentSize> sizes = {{"Docs", 10}};
    t.Define("Docs", "first", false, sizes);
    t.Define("DOCS", "second", true, sizes);
    t.Define("Tools\\Extra", "", true, sizes);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t.state(0), "FALSE");
    EXPECT_EQ(t.description(0), "second");
    EXPECT_EQ(t.Position("tools\\extra"), 1);
    ASSERT_EQ(sizes.size(), 2u);  // a size entry only for the new name
    EXPECT_EQ(sizes[1].name, "Tools\\Extra");
    EXPECT_EQ(ComponentBytes(t, sizes, "docs"), 10);
    EXPECT_EQ(ComponentBytes(t, {{"Unknown", 5}}, "Unknown"), 0);
}

TEST(Components, SelectionFileRoundTrip) {
    ComponentTable t;
    std::vector<ComponentSize> sizes;
    t.Define("A", "", true, sizes);
    t.Define("B", "", false, sizes);
    std::string shortData = "C:\\DATA~1\\";
    std::string text = WriteFeatureSelection(t, "C:\\App\\", "TRUE", "Menu", &shortData);
    EXPECT_EQ(text, "A\r\nB\r\n$\r\nTRUE\r\nFALSE\r\n$\r\nC:\\App\\\r\nTRUE\r\nMenu\r\nC:\\DATA~1\\\r\n");
    FeatureSelection f = ParseFeatureSelection(text);
    EXPECT_EQ(f.names, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(f.states, (std::vector<std::string>{"TRUE", "FALSE"}));
    EXPECT_EQ(f.targetDir, "C:\\App\\");
    EXPECT_EQ(f.startMenu, "Menu");
}
