// The media corpus (tools/make-corpus): files of the kinds users have, each opened ten times, the
// first from the command line and then again through the Decoder dialog's OK, which reopens the
// file. Each open either plays (the display runs) or shows "Cannot open <name>: <reason>" in the
// video area, within 5 s. Meanwhile another thread keeps asking the Player window for an answer:
// the user interface never stalls for a second. Where the decoder can seek, a paused locate
// shows exactly the picture asked for.
#include <gtest/gtest.h>

#include "platform/quorvel.h"
#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const int OPENS = 10;
const DWORD OPEN_DEADLINE_MS = 5000;
const DWORD STALL_LIMIT_MS = 1000;
const WPARAM REQUEST_PAUSE = 4, REQUEST_LOCATE = 256;

enum Outcome { PLAYS, CANNOT_OPEN };

enum Locate { EXACT, WITHIN_ONE, PICTURE_STAYS };

struct MediaCase {
    const char *file;
    const char *frameRate;  // the settings file's rate for it
    Outcome outcome;
    int reached;            // playing from the start, the display gets at least this far
    int locate;             // a frame a paused locate goes to
    Locate exactness;       // and whether its picture is that frame or may be the one before
    const char *note;       // why, where it is not the obvious
};

void PrintTo(const MediaCase &c, std::ostream *out) { *out << c.file; }

// 2 s at 25 fps unless said otherwise: frames 0 to 49.
const MediaCase CORPUS[] = {
    {"h264-aac-1080p.mp4", "25", PLAYS, 45, 30, EXACT, ""},
    // Every third frame of 30 fps left out: the pictures keep their source numbers and times.
    {"vfr.mp4", "30", PLAYS, 80, 30, EXACT, ""},
    {"tiny.mp4", "25", PLAYS, 45, 30, EXACT, ""},
    {"odd-321x241.mkv", "25", PLAYS, 45, 30, EXACT, ""},
    // DirectShow (Windows' as Wine's) shows the stored picture; the flag is not applied.
    {"rotated.mp4", "25", PLAYS, 45, 30, EXACT, "plays upright: DirectShow ignores the flag"},
    {"mp3-in-mp4.mp4", "25", PLAYS, 45, 30, EXACT, ""},
    {"vp8-vorbis.webm", "25", PLAYS, 45, 30, EXACT, ""},
    // Written as a live stream: no duration and no index. Wine's GStreamer splitter estimates the
    // duration from the clusters it has seen (1.6 s of 2 here; the first 0.4 s for other files)
    // and ends the stream there unless its stop is lifted, which the engine does with every seek.
    // Without an index it does not seek: a paused locate leaves the picture as it was (measured:
    // picture 39 for a locate to 30). Windows has no WebM splitter of its own at all.
    {"vp8-vorbis-live.webm", "25", PLAYS, 45, 30, PICTURE_STAYS, "no index: Wine cannot seek"},
    {"vp9-opus.webm", "25", PLAYS, 45, 30, EXACT, ""},
    {"vp9-opus-live.webm", "25", PLAYS, 45, 30, PICTURE_STAYS, "no index: Wine cannot seek"},
    // Wine's DirectShow takes .mpg to its MPEG-I Stream Splitter, which knows MPEG-1 only; stock
    // Windows DirectShow has no MPEG-2 program stream splitter either (Media Foundation plays it).
    {"mpeg2.mpg", "25", CANNOT_OPEN, 0, 0, EXACT, "no DirectShow splitter for MPEG-2"},
    // ffmpeg starts the pictures 23 ms late in Matroska (the AAC encoder's delay is taken off the
    // sound); frames are counted from media time 0, so a seek to the middle of frame n can land
    // in the last 3 ms of the picture before it.
    {"h264.mkv", "25", PLAYS, 45, 30, WITHIN_ONE, "pictures start 23 ms into the media time"},
    {"bad-sound.avi", "25", PLAYS, 45, 30, EXACT, "the pictures play without the sound"},
    {"cut-half.webm", "25", PLAYS, 15, 10, EXACT, "the first half plays"},
    {"cut-half.mpg", "25", CANNOT_OPEN, 0, 0, EXACT, "no DirectShow splitter for MPEG-2"},
    {"interlaced.mp4", "25", PLAYS, 45, 30, EXACT, ""},
};

class Media : public PlayerTest, public ::testing::WithParamInterface<MediaCase> {
protected:
    // Plays, or says why it cannot, within the deadline.
    ::testing::AssertionResult Opened(Outcome outcome)
    {
        const std::string refusal = std::string("Cannot open ") + GetParam().file + ": ";
        bool done = outcome == PLAYS
                        ? player.WaitForAdvance(OPEN_DEADLINE_MS) && player.VideoMessage().empty()
                        : WaitFor([&] { return player.VideoMessage().rfind(refusal, 0) == 0; },
                                  OPEN_DEADLINE_MS);
        if (done)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << (outcome == PLAYS ? "does not play" : "no refusal") << " within "
               << OPEN_DEADLINE_MS << " ms: display \"" << player.Display() << "\", message \""
               << player.VideoMessage() << "\"";
    }
    void ExpectLocated(const MediaCase &c, TimecodeFormat format)
    {
        if (c.exactness == EXACT) {
            EXPECT_TRUE(player.WaitForFrame(c.locate, format)) << "paused locate";
            return;
        }
        EXPECT_TRUE(WaitFor(
            [&] {
                int picture = player.PictureFrame();
                return FrameOfTimecode(player.Display(), format) == c.locate &&
                       (c.exactness == PICTURE_STAYS || picture == c.locate ||
                        picture == c.locate - 1);
            },
            SETTLE_DEADLINE_MS))
            << "paused locate: display " << player.Display() << ", picture "
            << player.PictureFrame();
    }
    bool Request(WPARAM request, LPARAM parameter)
    {
        return SendMessageTimeoutA(player.Window(), WM_REMOTE_CONTROL, request, parameter,
                                   SMTO_NORMAL, OPEN_DEADLINE_MS, NULL) != 0;
    }
};

TEST_P(Media, OpensTenTimesPlaysOrSaysWhyAndNeverStalls)
{
    const MediaCase &c = GetParam();
    if (c.note[0])
        RecordProperty("note", c.note);
    StartOn(Clip((std::string(CORPUS_DIR) + "/" + c.file).c_str()), c.frameRate);
    TimecodeFormat format = TimecodeFormatFromRateText(c.frameRate);
    StallProbe probe(player.Window());

    for (int open = 1; open <= OPENS; open++) {
        SCOPED_TRACE("open " + std::to_string(open));
        if (open > 1) {
            ASSERT_TRUE(Request(REQUEST_PAUSE, 0));
            // The Decoder dialog's OK opens the file again; "-" keeps the automatic choice.
            ASSERT_EQ(player.ChooseDecoder("-"), "-");
        }
        ASSERT_TRUE(Opened(c.outcome));
        if (open == 1 && c.outcome == PLAYS) {
            // Plays on to its end, not only its first pictures, and stops there.
            EXPECT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), format) >= c.reached; },
                                ADVANCE_DEADLINE_MS))
                << "stays at " << player.Display();
            EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, ADVANCE_DEADLINE_MS))
                << "does not stop at its end: " << player.Display();
            ASSERT_TRUE(Request(REQUEST_LOCATE, (LPARAM)PackTimecode(c.locate, format)));
            ExpectLocated(c, format);
        }
    }

    DWORD longest = probe.Stop();
    RecordProperty("longest_wait_ms", (int)longest);
    EXPECT_LT(longest, STALL_LIMIT_MS) << "the Player window did not answer for " << longest
                                       << " ms";
    ASSERT_TRUE(player.Running()) << "the player ended";
    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
}

INSTANTIATE_TEST_SUITE_P(Corpus, Media, ::testing::ValuesIn(CORPUS),
                         [](const ::testing::TestParamInfo<MediaCase> &info) {
                             return TestNameOf(info.param.file);
                         });

}  // namespace
