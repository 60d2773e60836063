// The value forms of the settings file, built natively (with sanitizers) and for Windows.
#include <limits.h>
#include <math.h>

#include <string>

#include <gtest/gtest.h>

#include "settings/values.h"

TEST(HotKeyFromName, Table)
{
    const int current = 77;
    struct Case {
        const char *name;
        int code;
    } cases[] = {
        {"-", 0}, {"F1", 112}, {"F5", 116}, {"F9", 120}, {"F10", 121}, {"F11", 122}, {"F12", 123},
        {"F120", 123},  // after "F1" and one of 0, 1, 2 nothing is examined
        {"F10x", 121},
        {"F13", current}, {"F19", current}, {"f12", current}, {"F0", current}, {"F", current},
        {"", current}, {"--", current}, {" F1", current}, {"F1 ", current}, {"F 1", current},
        {"\xc6\x31", current},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HotKeyFromName(c.name, current), c.code) << '"' << c.name << '"';
}

TEST(WideHotKeyFromName, ReachesF24AndTakesExactNamesOnly)
{
    const int current = 77;
    struct Case {
        const char *name;
        int code;
    } cases[] = {
        {"-", 0}, {"F1", 112}, {"F12", 123}, {"F13", 124}, {"F19", 130}, {"F24", 135},
        {"F25", current}, {"F120", current}, {"F10x", current}, {"f13", current},
        {"F0", current}, {"", current}, {"F13 ", current},
    };
    for (const Case &c : cases)
        EXPECT_EQ(WideHotKeyFromName(c.name, current), c.code) << '"' << c.name << '"';
    for (int i = 1; i <= 24; i++)
        EXPECT_EQ(WideHotKeyFromName(WideHotKeyNames[i], current), 111 + i) << i;
}

TEST(LoopValues, HeldToTheirRangesWithTheirDefaults)
{
    struct Case {
        const char *text;
        int seconds, speed;
    } cases[] = {
        {"", 5, 75},     {"x", 5, 75},   {"0", 1, 50},     {"1", 1, 50},  {"4.5", 5, 50},
        {"30", 30, 50},  {"31", 30, 50}, {"75", 30, 75},   {"99.6", 30, 100}, {"100", 30, 100},
        {"250", 30, 100}, {"-7", 1, 50}, {" 12 s", 12, 50},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(LoopSecondsFromText(c.text), c.seconds) << '"' << c.text << '"';
        EXPECT_EQ(LoopSpeedFromText(c.text), c.speed) << '"' << c.text << '"';
    }
    EXPECT_TRUE(SwitchFromText("YES"));
    EXPECT_FALSE(SwitchFromText("yes"));
    EXPECT_FALSE(SwitchFromText("NO"));
    EXPECT_FALSE(SwitchFromText(""));
}

TEST(OptionKeywords, ExactUpperCaseOnly)
{
    EXPECT_EQ(ShowFramesModeFromName("YES", 2), 0);
    EXPECT_EQ(ShowFramesModeFromName("NO", 0), 1);
    EXPECT_EQ(ShowFramesModeFromName("ZERO", 0), 2);
    EXPECT_EQ(ShowFramesModeFromName("zero", 1), 1);
    EXPECT_EQ(ShowFramesModeFromName("YES ", 1), 1);
    EXPECT_EQ(ShowFramesModeFromName("", 2), 2);
    EXPECT_EQ(AppendSignModeFromName("SPACE", 3), 0);
    EXPECT_EQ(AppendSignModeFromName("NOT", 0), 1);
    EXPECT_EQ(AppendSignModeFromName("CRLF", 0), 2);
    EXPECT_EQ(AppendSignModeFromName("TAB", 0), 3);
    EXPECT_EQ(AppendSignModeFromName("tab", 2), 2);
    EXPECT_EQ(AppendSignModeFromName("space", 3), 3);
}

TEST(DecimalFromText, Table)
{
    struct Case {
        std::string text;
        double value;
    } cases[] = {
        {"25", 25}, {"23.98", 23.98}, {"29.97", 29.97}, {"  30", 30}, {"\t24", 24},
        {"29.97 fps", 29.97}, {"-5", -5}, {"+30", 30}, {".5", 0.5}, {"1e5", 1}, {"1,5", 1},
        {"", 0}, {"fps", 0}, {"-", 0}, {".", 0}, {"0x1A", 0}, {"inf", 0}, {"nan", 0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(DecimalFromText(c.text.c_str()), c.value, 1e-9) << '"' << c.text << '"';

    double huge = DecimalFromText(std::string(400, '9').c_str());
    EXPECT_TRUE(isfinite(huge));
    EXPECT_GT(huge, 1e299);
    EXPECT_TRUE(isfinite(DecimalFromText(("-" + std::string(400, '9')).c_str())));
}

TEST(SplitWindowRect, Table)
{
    struct Case {
        std::string text;
        WindowRect rect;
    } cases[] = {
        {"10,20,300,400", {10, 20, 300, 400}},
        {"-5,-7,10,10", {0, 0, 32, 32}},
        {"100,100", {100, 100, 500, 200}},  // missing fields keep 500 x 200
        {",,10,20", {10, 20, 500, 200}},    // empty fields are skipped
        {"1,2,3,4,5,6", {1, 2, 32, 32}},
        {"", {0, 0, 500, 200}},
        {"x,y,w,h", {0, 0, 32, 32}},  // no digits reads as 0
        {" 7, +8,  40x,50", {7, 8, 40, 50}},
        {"99999999999,-99999999999,2147483648,5", {INT_MAX, 0, INT_MAX, 32}},
        {"-32000,-32000,160,28", {0, 0, 160, 32}},  // a minimised window
        // Texts are cut at 47 characters.
        {std::string(44, ' ') + "7,8", {7, 8, 500, 200}},
        {std::string(45, ' ') + "7,8", {7, 0, 500, 200}},
        {std::string(200, ',') + "9", {0, 0, 500, 200}},
    };
    for (const Case &c : cases) {
        WindowRect r = {1, 1, 1, 1};
        SplitWindowRect(c.text.c_str(), &r);
        EXPECT_EQ(r.x, c.rect.x) << '"' << c.text << '"';
        EXPECT_EQ(r.y, c.rect.y) << '"' << c.text << '"';
        EXPECT_EQ(r.width, c.rect.width) << '"' << c.text << '"';
        EXPECT_EQ(r.height, c.rect.height) << '"' << c.text << '"';
    }
}

TEST(ClampWindowRectToDesktop, KeepsTheCornerOnTheDesktop)
{
    WindowRect r = {5000, 3000, 900, 700};
    ClampWindowRectToDesktop(&r, 1280, 1024);
    EXPECT_EQ(r.x, 1248);
    EXPECT_EQ(r.y, 992);
    EXPECT_EQ(r.width, 900);
    EXPECT_EQ(r.height, 700);

    WindowRect inside = {1248, 992, 10, 10};
    ClampWindowRectToDesktop(&inside, 1280, 1024);
    EXPECT_EQ(inside.x, 1248);
    EXPECT_EQ(inside.y, 992);
}

TEST(PlaybackSeconds, RewindIsClampedAndKeptToHundredths)
{
    struct Case {
        const char *text;
        double seconds;
        const char *stored;
    } cases[] = {
        {"0", 0, "0"}, {"2", 2, "2"}, {"2.5", 2.5, "2.5"}, {" 0.25", 0.25, "0.25"},
        {"10", 10, "10"}, {"10.01", 10, "10"}, {"999", 10, "10"}, {"-1", 0, "0"},
        {"1.999", 2, "2"}, {"1.994", 1.99, "1.99"}, {".5", 0.5, "0.5"}, {"3 s", 3, "3"},
        {"", 0, "0"}, {"abc", 0, "0"}, {"1,5", 1, "1"},
    };
    for (const Case &c : cases) {
        double seconds = RewindSecondsFromText(c.text);
        EXPECT_NEAR(seconds, c.seconds, 1e-9) << '"' << c.text << '"';
        char stored[SECONDS_TEXT_SIZE];
        FormatRewindSeconds(seconds, stored);
        EXPECT_STREQ(stored, c.stored) << '"' << c.text << '"';
        // What is stored reads back as the same value.
        EXPECT_NEAR(RewindSecondsFromText(stored), seconds, 1e-9) << '"' << c.text << '"';
    }
    // A number from elsewhere is held as a text is, and its text always fits.
    struct Held {
        double seconds;
        const char *stored;
    } held[] = {{-2.5, "0"}, {10.004, "10"}, {25, "10"}, {1e9, "10"}};
    for (const Held &h : held) {
        char stored[SECONDS_TEXT_SIZE];
        FormatRewindSeconds(h.seconds, stored);
        EXPECT_STREQ(stored, h.stored) << h.seconds;
    }
}

TEST(PlaybackSeconds, JumpIsWholeSecondsFrom1To60)
{
    struct Case {
        const char *text;
        int seconds;
    } cases[] = {
        {"5", 5}, {"1", 1}, {"60", 60}, {"0", 1}, {"-3", 1}, {"61", 60}, {"100000", 60},
        {"2.4", 2}, {"2.5", 3}, {"0.4", 1}, {" 7", 7}, {"12 s", 12},
        {"", 5}, {"-", 5}, {".", 5}, {"five", 5},
    };
    for (const Case &c : cases)
        EXPECT_EQ(JumpSecondsFromText(c.text), c.seconds) << '"' << c.text << '"';
}

TEST(PlaybackSpeed, WholePercentFrom50To200)
{
    struct Case {
        const char *text;
        int percent;
    } cases[] = {
        {"100", 100}, {"50", 50}, {"200", 200}, {"49", 50}, {"0", 50}, {"-150", 50},
        {"201", 200}, {"99999999999", 200}, {"75.4", 75}, {"75.5", 76}, {" 120", 120},
        {"130 %", 130}, {"", 100}, {"-", 100}, {"fast", 100},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SpeedFromText(c.text), c.percent) << '"' << c.text << '"';
}

TEST(PlaybackSpeed, KeysStepByTenAndStopAtTheEnds)
{
    struct Case {
        int percent, direction, stepped;
    } cases[] = {
        {100, +1, 110}, {100, -1, 90}, {190, +1, 200}, {200, +1, 200}, {60, -1, 50},
        {50, -1, 50}, {125, +1, 130}, {125, -1, 120}, {55, -1, 50}, {195, +1, 200},
        {130, 0, 130},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SteppedSpeed(c.percent, c.direction), c.stepped)
            << c.percent << " stepped " << c.direction;
    // Ten steps up from the slowest reach the fastest and stay there; and back down.
    int percent = SPEED_SLOWEST;
    for (int i = 0; i < 20; i++)
        percent = SteppedSpeed(percent, +1);
    EXPECT_EQ(percent, SPEED_FASTEST);
    for (int i = 0; i < 20; i++)
        percent = SteppedSpeed(percent, -1);
    EXPECT_EQ(percent, SPEED_SLOWEST);
}
