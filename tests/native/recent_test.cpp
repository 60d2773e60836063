// The recent files' entries, their order and their menu labels.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "settings/recent.h"

static RecentEntry Entry(const char *path, int32_t frame = 0)
{
    RecentEntry entry = {};
    entry.frame = frame;
    entry.size = 1234;
    entry.written = 133000000000000000ULL;
    strcpy(entry.path, path);
    return entry;
}

TEST(RecentEntry, ReadsBackWhatIsWrittenAndRefusesTheRest)
{
    char text[RECENT_ENTRY_SIZE];
    RecentEntry written = Entry("C:\\Interviews\\tag 3 | \xe6\x97\xa5.mp4", 300);
    written.size = 18446744073709551615ULL;
    FormatRecentEntry(written, text);
    RecentEntry read = {};
    ASSERT_TRUE(ParseRecentEntry(text, &read)) << text;
    EXPECT_EQ(read.frame, 300);
    EXPECT_EQ(read.size, written.size);
    EXPECT_EQ(read.written, written.written);
    EXPECT_STREQ(read.path, written.path);  // a '|' inside the path stays in it

    const char *refused[] = {
        "", "C:\\a.mp4", "300|1|2|", "x|1|2|C:\\a.mp4", "-3|1|2|C:\\a.mp4", "3||2|C:\\a.mp4",
        "2147483648|1|2|C:\\a.mp4", "1|18446744073709551616|2|C:\\a.mp4", "1 |1|2|C:\\a.mp4",
    };
    for (const char *t : refused)
        EXPECT_FALSE(ParseRecentEntry(t, &read)) << '"' << t << '"';
    EXPECT_TRUE(ParseRecentEntry("2147483647|0|0|a", &read));
    EXPECT_EQ(read.frame, 2147483647);

    std::string tooLong = "1|2|3|" + std::string(RECENT_PATH_SIZE, 'a');
    EXPECT_FALSE(ParseRecentEntry(tooLong.c_str(), &read));
}

TEST(RecentList, MostRecentFirstEightAtMostNoTwiceTheSameFile)
{
    RecentEntry list[RECENT_MOST];
    int count = 0;
    char path[32];
    for (int i = 1; i <= 10; i++) {
        snprintf(path, sizeof path, "C:\\f%d.mp4", i);
        count = PutRecentFirst(list, count, Entry(path, i));
    }
    ASSERT_EQ(count, RECENT_MOST);
    EXPECT_STREQ(list[0].path, "C:\\f10.mp4");
    EXPECT_STREQ(list[7].path, "C:\\f3.mp4");

    // Reopened under another case: moved to the front with its new position, not added.
    count = PutRecentFirst(list, count, Entry("c:\\F5.MP4", 55));
    ASSERT_EQ(count, RECENT_MOST);
    EXPECT_STREQ(list[0].path, "c:\\F5.MP4");
    EXPECT_EQ(list[0].frame, 55);
    EXPECT_EQ(FindRecent(list, count, "C:\\f5.mp4"), 0);
    EXPECT_STREQ(list[1].path, "C:\\f10.mp4");
    EXPECT_STREQ(list[7].path, "C:\\f3.mp4");

    // An entry of the list itself put first.
    count = PutRecentFirst(list, count, list[6]);
    EXPECT_STREQ(list[0].path, "C:\\f4.mp4");
    EXPECT_EQ(count, RECENT_MOST);

    count = RemoveRecent(list, count, 0);
    EXPECT_EQ(count, RECENT_MOST - 1);
    EXPECT_EQ(FindRecent(list, count, "C:\\f4.mp4"), -1);
    EXPECT_EQ(RemoveRecent(list, count, count), count);
    EXPECT_EQ(RemoveRecent(list, count, -1), count);
    EXPECT_FALSE(SameRecentPath("C:\\\xc3\x84.mp4", "C:\\\xc3\xa4.mp4"));  // only ASCII folds
}

TEST(RecentMenuLabel, NumberedShortenedEscaped)
{
    char label[RECENT_LABEL_SIZE];
    RecentMenuLabel(1, "C:\\a&b.mp4", label);
    EXPECT_STREQ(label, "&1 C:\\a&&b.mp4");

    RecentMenuLabel(8, "C:\\Users\\transcriber\\Documents\\Projects 2026\\Oral history\\"
                       "Interviews\\day 3.mp4", label);
    EXPECT_STREQ(label, "&8 C:\\...\\Projects 2026\\Oral history\\Interviews\\day 3.mp4");

    RecentMenuLabel(2, "\\\\server\\share\\very long folder name number one\\another long "
                       "folder name\\clip.mov", label);
    EXPECT_STREQ(label, "&2 \\\\server\\share\\...\\another long folder name\\clip.mov");

    // A name too long by itself is kept whole after the drive.
    std::string name(70, 'n');
    std::string path = "D:\\x\\" + name + ".wav";
    RecentMenuLabel(3, path.c_str(), label);
    EXPECT_EQ(std::string(label), "&3 D:\\...\\" + name + ".wav");

    // Characters, not bytes, are counted: 50 Japanese characters fit.
    std::string japanese;
    for (int i = 0; i < 25; i++)
        japanese += "\xe6\x97\xa5\xe6\x9c\xac";  // 日本
    path = "C:\\" + japanese + "\\a.mp4";
    RecentMenuLabel(4, path.c_str(), label);
    EXPECT_EQ(std::string(label), "&4 " + path);

    // A path longer than the label's room is cut between characters.
    std::string huge = "C:\\";
    for (int i = 0; i < 200; i++)
        huge += "\xe6\x97\xa5";
    RecentMenuLabel(5, huge.c_str(), label);
    size_t length = strlen(label);
    EXPECT_LT(length, (size_t)RECENT_LABEL_SIZE);
    EXPECT_EQ((length - strlen("&5 C:\\")) % 3, 0u);
}
