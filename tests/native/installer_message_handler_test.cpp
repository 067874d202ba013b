#include "installer/message_handler.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "wizard/message_table.h"

using namespace qv;

namespace {

using Kind = InstallerMessageKind;

// Records every box and report; answers boxes with `boxAnswer` and reports
// with "go on" until `cancelled` is set.
struct Recorder {
    std::vector<InstallerMessageBox> boxes;
    std::vector<ProgressReport> reports;
    int boxAnswer = 7;
    bool cancelled = false;

    InstallerMessageHandler Handler(bool silent) {
        return InstallerMessageHandler(
            silent, "My Product",
            [this](const InstallerMessageBox& b) {
                boxes.push_back(b);
                return boxAnswer;
            },
            [this](const ProgressReport& r) {
                reports.push_back(r);
                return !cancelled;
            });
    }
};

class InstallerMessages : public ::testing::Test {
protected:
    void SetUp() override { ResetMessagesForTest(); }
};

}  // namespace

TEST_F(InstallerMessages, RecordedRunMovesTheProgressBar) {
    struct Step {
        Kind kind;
        const char* text;
        int answer;
        std::int64_t total, done;
        const char* action;
    };
    const Step steps[] = {
        {Kind::Initialize, "", 1, 0, 0, ""},
        {Kind::Progress, "1: 0 2: 500 3: 0 4: 1 ", 1, 500, 0, ""},
        {Kind::ActionStart, "Action 12:00:00: InstallFiles. Copying new files", 1, 500, 0, "Copying new files"},
        {Kind::Progress, "1: 2 2: 25 ", 1, 500, 25, "Copying new files"},
        {Kind::Progress, "1: 3 2: 100 ", 1, 600, 25, "Copying new files"},
        {Kind::Progress, "1: 3 2: -50 ", 1, 650, 25, "Copying new files"},  // additions count by size
        {Kind::Progress, "1: 1 2: 10 3: 1 ", 1, 650, 25, "Copying new files"},
        {Kind::ActionData, "File: a.txt", 1, 650, 35, "File: a.txt"},
        {Kind::ActionData, "File: b.txt", 1, 650, 45, "File: b.txt"},
        {Kind::Progress, "1: 1 2: 10 3: 0 ", 1, 650, 45, "File: b.txt"},
        {Kind::ActionData, "File: c.txt", 1, 650, 45, "File: c.txt"},
        {Kind::Progress, "", 1, 650, 45, "File: c.txt"},
        {Kind::ActionStart, "no full stop", 1, 650, 45, "o full stop"},
        // Rollback: the installer counts backwards.
        {Kind::Progress, "1: 0 2: -800 3: 1 ", 1, 800, 0, "o full stop"},
        {Kind::Progress, "1: 2 2: 100 ", 1, 800, -100, "o full stop"},
        {Kind::Progress, "1: 1 2: 7 3: 1 ", 1, 800, -100, "o full stop"},
        {Kind::ActionData, "undo", 1, 800, -93, "undo"},  // action data steps forward whatever the direction
        // A reset with total 0 keeps the total; an unreadable message reads as such a reset.
        {Kind::Progress, "1: 0 2: 0 3: 0 ", 1, 800, 0, "undo"},
        {Kind::Progress, "1: 2 2: 40 ", 1, 800, 40, "undo"},
        {Kind::Progress, "1: 2 2: forty ", 1, 800, 0, "undo"},
        {Kind::Info, "Info text", 1, 800, 0, "undo"},
        {Kind::CommonData, "1: 0 2: 1033 3: 1252 ", 1, 800, 0, "undo"},
        {Kind::ResolveSource, "", 0, 800, 0, "undo"},
        {static_cast<Kind>(0x19), "unknown kind", 0, 800, 0, "undo"},
        {Kind::Terminate, "", 1, 800, 0, "undo"},
    };
    Recorder rec;
    InstallerMessageHandler handler = rec.Handler(false);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.text);
        EXPECT_EQ(handler.Handle(InstallerMessageType(s.kind), s.text), s.answer);
        ASSERT_FALSE(rec.reports.empty());
        const ProgressReport& r = rec.reports.back();
        EXPECT_EQ(r.maximum, s.total);
        EXPECT_EQ(r.position, s.done);
        EXPECT_EQ(r.minimum, 0);
        EXPECT_EQ(r.text, s.action);
    }
    EXPECT_EQ(rec.reports.size(), std::size(steps));  // one report per message
    EXPECT_TRUE(rec.boxes.empty());
}

TEST_F(InstallerMessages, BoxesCarryThePrefixTheIconAndTheCaption) {
    struct Case {
        Kind kind;
        std::uint32_t style;  // as the installer asks
        const char* text;     // as shown
        std::uint32_t shownStyle;
        int silentAnswer;
    };
    const Case cases[] = {
        {Kind::FatalExit, 0x000, "Fatal Error\r\rboom", 0x010, 0},
        {Kind::Error, 0x030, "Error\r\rboom", 0x010, 1},  // the kind's icon replaces the installer's
        {Kind::Warning, 0x004, "Warning\r\rboom", 0x034, 1},
        {Kind::User, 0x141, "boom", 0x121, 1},
        {Kind::FilesInUse, 0x002, "Files in Use\r\rboom", 0x032, 0},
        {Kind::OutOfDiskSpace, 0x005, "Out of Disk Space\r\rboom", 0x015, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Recorder shown;
        InstallerMessageHandler handler = shown.Handler(false);
        EXPECT_EQ(handler.Handle(InstallerMessageType(c.kind, c.style), "boom"), 7);
        ASSERT_EQ(shown.boxes.size(), 1u);
        EXPECT_EQ(shown.boxes[0].caption, "My Product");
        EXPECT_EQ(shown.boxes[0].text, c.text);
        EXPECT_EQ(shown.boxes[0].style, c.shownStyle);

        Recorder silent;
        InstallerMessageHandler quiet = silent.Handler(true);
        EXPECT_EQ(quiet.Handle(InstallerMessageType(c.kind, c.style), "boom"), c.silentAnswer);
        EXPECT_TRUE(silent.boxes.empty());
        EXPECT_EQ(silent.reports.size(), 1u);
    }
}

TEST_F(InstallerMessages, ErrorsAndFatalExitsAreRememberedEvenWhenSilent) {
    Recorder rec;
    InstallerMessageHandler handler = rec.Handler(true);
    handler.Handle(InstallerMessageType(Kind::Warning), "just a warning");
    EXPECT_EQ(handler.lastInstallerError(), "");
    handler.Handle(InstallerMessageType(Kind::Error), "Error 1310. Cannot write.");
    EXPECT_EQ(handler.lastInstallerError(), "Error 1310. Cannot write.");
    handler.Handle(InstallerMessageType(Kind::FatalExit), "Fatal error during installation.");
    EXPECT_EQ(handler.lastInstallerError(), "Fatal error during installation.");
    handler.Handle(InstallerMessageType(Kind::Info), "later info");
    EXPECT_EQ(handler.lastInstallerError(), "Fatal error during installation.");
}

TEST_F(InstallerMessages, ACancelledRunAnswersCancelToEveryMessage) {
    Recorder rec;
    InstallerMessageHandler handler = rec.Handler(false);
    EXPECT_EQ(handler.Handle(InstallerMessageType(Kind::Progress), "1: 0 2: 100 3: 0 "), 1);
    rec.cancelled = true;
    EXPECT_EQ(handler.Handle(InstallerMessageType(Kind::Progress), "1: 2 2: 10 "), 2);
    EXPECT_EQ(handler.Handle(InstallerMessageType(Kind::Info), ""), 2);
    EXPECT_EQ(handler.Handle(InstallerMessageType(Kind::ResolveSource), ""), 2);
    EXPECT_EQ(handler.Handle(InstallerMessageType(Kind::Error), "boom"), 2);
    EXPECT_EQ(rec.boxes.size(), 1u);  // the box is still shown before the cancel is answered
    EXPECT_EQ(rec.reports.back().position, 10);
}

TEST(InstallerProgressFields, ReadAfterEachColonAndTheCharacterBehindIt) {
    struct Case {
        const char* text;
        std::int64_t f1, f2, f3, f4;
    };
    const Case cases[] = {
        {"1: 0 2: 500 3: 0 4: 1 ", 0, 500, 0, 1},
        {"1: 2 2: 25", 2, 25, 0, 0},
        {"1: -7 2: +3 ", -7, 3, 0, 0},
        {"1: 3 2:25 ", 3, 5, 0, 0},  // the character behind the colon is always dropped
        {"1: 1 2: 5 3: 1 4: 0 5: 9 ", 1, 5, 1, 0},
        {"1: 2 2: 9223372036854775807", 2, INT64_MAX, 0, 0},
        {"1: 2 2: -9223372036854775808", 2, INT64_MIN, 0, 0},
        {"1: 2 2: 9223372036854775808", 0, 0, 0, 0},  // out of range
        {"1: 2 2: x 3: 4", 0, 0, 0, 0},
        {"1: 2 2:  5", 0, 0, 0, 0},  // an empty field is not a number
        {"1:", 0, 0, 0, 0},
        {"no colon", 0, 0, 0, 0},
        {"", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ProgressFields f = ReadProgressFields(c.text);
        EXPECT_EQ(f.field[0], c.f1) << c.text;
        EXPECT_EQ(f.field[1], c.f2) << c.text;
        EXPECT_EQ(f.field[2], c.f3) << c.text;
        EXPECT_EQ(f.field[3], c.f4) << c.text;
    }
}

TEST(InstallerProgressFields, ExtremeNumbersWrapInsteadOfOverflowing) {
    InstallerProgressState s;
    ApplyProgressMessage(s, "1: 0 2: -9223372036854775808 3: 1 ");
    EXPECT_EQ(s.total, INT64_MIN);
    EXPECT_EQ(s.direction, -1);
    ApplyProgressMessage(s, "1: 3 2: -9223372036854775808 ");
    EXPECT_EQ(s.total, 0);
    ApplyProgressMessage(s, "1: 2 2: -9223372036854775808 ");
    EXPECT_EQ(s.done, INT64_MIN);
    ApplyProgressMessage(s, "1: 1 2: 4294967297 3: 1 ");  // the step keeps 32 bits
    EXPECT_EQ(s.step, 1);
    ApplyProgressMessage(s, "1: 0 2: 5 3: 7 ");  // an unknown direction keeps the last one
    EXPECT_EQ(s.direction, -1);
    EXPECT_EQ(s.total, 5);
}
