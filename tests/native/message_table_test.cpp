#include "wizard/message_table.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

struct MessageTableTest : ::testing::Test {
    void TearDown() override { ResetMessagesForTest(); }
};

std::string NumberedLines(int count) {
    std::string file;
    for (int i = 1; i <= count; ++i) file += "line " + std::to_string(i) + "\r\n";
    return file;
}

}  // namespace

TEST_F(MessageTableTest, DefaultsAreTheEnglishTexts) {
    EXPECT_EQ(MessageText(Msg::RuntimeErrorInScript), "Runtime error in setup script:");
    EXPECT_EQ(MessageText(Msg::DownloadStatus0), "");
    EXPECT_EQ(MessageText(Msg::DownloadStatus33), "Accept ranges");
    EXPECT_EQ(MessageText(Msg::Preparing).substr(0, 8), "Quorvex\x99");
    EXPECT_EQ(MessageText(Msg::EntireFeatureUnavailable), "Entire feature will be &unavailable");
}

TEST_F(MessageTableTest, AFullFileReplacesEveryEntryAndSkipsTheReservedLines) {
    LoadMessageText(NumberedLines(115));
    EXPECT_EQ(MessageText(Msg::CommonControlsUpdate), "line 1");
    EXPECT_EQ(MessageText(Msg::SelectLanguageText), "line 90");
    EXPECT_EQ(MessageText(Msg::FlashFailed), "line 112");
    EXPECT_EQ(MessageText(Msg::EntireFeatureUnavailable), "line 115");
}

TEST_F(MessageTableTest, AShortFileEmptiesTheEntriesItLacks) {
    LoadMessageText(NumberedLines(40));
    EXPECT_EQ(MessageText(Msg::ConfirmCancel), "line 40");
    EXPECT_EQ(MessageText(Msg::ProxyUser), "");
    EXPECT_EQ(MessageText(Msg::FlashFailed), "");
}
