// zentrixctl's command words and timecode texts.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/zentrixctl/command.h"

TEST(ZentrixctlCommand, Table)
{
    struct Case {
        std::vector<const char *> words;
        bool ok;
        uint32_t request;
        int32_t parameter;
        CtlOutput output;
    } cases[] = {
        {{"play"}, true, 1, 0, CTL_PRINT_NOTHING},
        {{"pause"}, true, 4, 0, CTL_PRINT_NOTHING},
        {{"stop"}, true, 8, 0, CTL_PRINT_NOTHING},
        {{"rewind"}, true, 16, 0, CTL_PRINT_NOTHING},
        {{"forward"}, true, 32, 0, CTL_PRINT_NOTHING},
        {{"step", "25"}, true, 64, 25, CTL_PRINT_NOTHING},
        {{"step", "-1"}, true, 64, -1, CTL_PRINT_NOTHING},
        {{"locate", "01:02:03:04"}, true, 256, 0x01020304, CTL_PRINT_NOTHING},
        {{"locate", "1:2:3:4"}, true, 256, 0x01020304, CTL_PRINT_NOTHING},
        {{"locate", "00:01:00;02"}, true, 256, 0x00010002, CTL_PRINT_NOTHING},  // drop-frame
        {{"locate", "01;10;00;00"}, true, 256, 0x010A0000, CTL_PRINT_NOTHING},
        {{"locate", "00:00:01:59"}, true, 256, 0x0000013B, CTL_PRINT_NOTHING},  // base 60
        {{"query"}, true, 1024, 0, CTL_PRINT_TIMECODE},
        {{"length"}, true, 0xFFFF8001, 0, CTL_PRINT_NUMBER},
        {{"speed"}, true, 4096, 0, CTL_PRINT_NUMBER},
        {{"speed", "75"}, true, 2048, 75, CTL_PRINT_NOTHING},
        {{"speed", "50"}, true, 2048, 50, CTL_PRINT_NOTHING},
        {{"speed", "200"}, true, 2048, 200, CTL_PRINT_NOTHING},
        {{}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"Play"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"play", "now"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"step"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"step", "x"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"step", "3x"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"step", "99999999999"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"speed", "49"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"speed", "201"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"speed", "75%"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"speed", "1.5"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"speed", "75", "80"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", "24:00:00:00"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", "00:60:00:00"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", "00:00:00"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", "00:00:00:00:00"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", "001:00:00:00"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", ""}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", "00:01:00.02"}, false, 0, 0, CTL_PRINT_NOTHING},
        {{"locate", "00:01:00;;02"}, false, 0, 0, CTL_PRINT_NOTHING},
    };
    for (const Case &c : cases) {
        CtlCommand command = {};
        const char *error = nullptr;
        bool ok = ParseCtlCommand((int)c.words.size(), c.words.data(), &command, &error);
        std::string what = c.words.empty() ? "(none)" : c.words[0];
        ASSERT_EQ(ok, c.ok) << what;
        if (ok) {
            EXPECT_EQ(command.request, c.request) << what;
            EXPECT_EQ(command.parameter, c.parameter) << what;
            EXPECT_EQ(command.output, c.output) << what;
        } else {
            ASSERT_NE(error, nullptr);
            EXPECT_EQ(std::string(error).find('\n'), std::string::npos);  // one line
        }
    }
}

TEST(ZentrixctlCommand, PackedTimecodeText)
{
    char text[16];
    TextFromPacked(0x173B3B18, text);
    EXPECT_STREQ(text, "23:59:59:24");
    TextFromPacked(0, text);
    EXPECT_STREQ(text, "00:00:00:00");
    TextFromPacked(0xFFFFFFFF, text);  // never longer than the buffer
    EXPECT_STREQ(text, "255:255:255:255");
}
