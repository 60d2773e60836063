// Sound files open and play like a video: the length in frames at the set rate, a display that
// runs while playing, exact paused locates and steps, and the waveform in the video band, louder
// where the sound is louder; the thread that computes it never holds up a reopen or the close.
// Random bytes named .mp3 are refused with their reason.
#include <gtest/gtest.h>

#include "platform/quorvel.h"
#include "tests/e2e/support.h"
#include "tests/support/picture.h"
#include "tests/support/sound.h"

using namespace e2e;

namespace {

const int RATE = 25;
const WPARAM REQUEST_STEP = 64;
const UINT ANSWER_MS = 5000;
const int WAVE_LEVEL = 60;   // a pixel of the waveform stands out from the black band this much

struct SoundCase {
    const char *file;
    int frames;   // at 25 fps
};

void PrintTo(const SoundCase &c, std::ostream *out) { *out << c.file; }

// The MP3 lasts 4.049 s by its own account (ffprobe agrees): the encoder's delay and the padding of
// its last frame are part of the stream, so it has 101 frames.
const SoundCase FILES[] = {{"tone.mp3", 101}, {"tone.wav", 100}, {"tone.m4a", 100}};

// The rows of a band column where the waveform is drawn: its height in pixels.
int WaveHeight(const Capture &band, int x)
{
    int rows = 0;
    for (int y = 0; y < band.height; y++) {
        COLORREF p = band.pixels[(size_t)y * band.width + x];
        // The waveform is greener than it is red; the position line is the other way round.
        if (band.Luma(x, y) > WAVE_LEVEL / 2 && GetGValue(p) > GetRValue(p) + 20)
            rows++;
    }
    return rows;
}

Capture BandPixels(HWND player)
{
    HWND band = FindWindowExA(player, NULL, "QuorvelVideoBand", NULL);
    RECT r = {};
    if (band)
        GetWindowRect(band, &r);
    HDC screen = GetDC(NULL);
    Capture capture = CaptureRect(screen, r);
    ReleaseDC(NULL, screen);
    return capture;
}

class SoundFile : public PlayerTest, public ::testing::WithParamInterface<SoundCase> {
protected:
    void Request(const std::string &arguments)
    {
        CtlResult result = Ctl(arguments);
        ASSERT_EQ(result.exitCode, 0) << "zentrixctl " << arguments << ": " << result.output;
    }
    // Display and remote query both at the frame.
    ::testing::AssertionResult At(int frame)
    {
        std::string wanted = TimecodeOfFrame(frame, RATE);
        std::string query;
        bool there = WaitFor(
            [&] { return player.Display() == wanted && (query = Ctl("query").output) == wanted; },
            SETTLE_DEADLINE_MS);
        if (there)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "wanted " << wanted << ", the display shows "
                                             << player.Display() << " and the query " << query;
    }
};

TEST_P(SoundFile, PlaysWithItsLengthLocatesExactlyAndShowsItsWaveform)
{
    if (SoundOutputOff())
        GTEST_SKIP() << "no sound output: sound files are refused (NotSound tests)";
    const SoundCase &c = GetParam();
    StartOn(Clip(c.file), "25");
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance: " << player.Display()
                                         << ", message \"" << player.VideoMessage() << "\"";
    EXPECT_TRUE(player.PlayChecked());
    EXPECT_EQ(player.VideoMessage(), "");
    CtlResult length = Ctl("length");
    EXPECT_EQ(length.exitCode, 0);
    EXPECT_EQ(length.output, std::to_string(c.frames));

    // No picture to compare: display and query agree on where the pause stopped.
    Request("pause");
    EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, SETTLE_DEADLINE_MS));
    int paused = FrameOfTimecode(player.Display(), RATE);
    EXPECT_GT(paused, 0) << player.Display();
    EXPECT_TRUE(At(paused));

    int mid = c.frames / 2 + 3;
    Request("locate " + TimecodeOfFrame(mid, RATE));
    EXPECT_TRUE(At(mid)) << "locate";
    Request("step 7");
    EXPECT_TRUE(At(mid + 7)) << "step 7";
    Request("step -12");
    EXPECT_TRUE(At(mid - 5)) << "step -12";
    for (int i = 0; i < 5; i++) {
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutA(player.Window(), WM_REMOTE_CONTROL, REQUEST_STEP, 1,
                                        SMTO_NORMAL, ANSWER_MS, &answer));
    }
    EXPECT_TRUE(At(mid)) << "five single steps";
    ASSERT_TRUE(player.Activate());
    PressKey(VK_RIGHT);
    EXPECT_TRUE(At(mid + 1)) << "after Right";
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    EXPECT_TRUE(At(mid - 1)) << "after Left twice";

    // Winding seeks paused again and again: each seek's pause ends with sound, not a picture.
    Request("rewind");
    EXPECT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) < mid - 10; },
                        ADVANCE_DEADLINE_MS))
        << "rewind from " << mid - 1 << ": " << player.Display();
    Request("pause");
    EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, SETTLE_DEADLINE_MS));
    int wound = FrameOfTimecode(player.Display(), RATE);
    EXPECT_TRUE(At(wound)) << "paused after rewinding";
    Request("locate " + TimecodeOfFrame(c.frames + 50, RATE));
    EXPECT_TRUE(At(c.frames - 1)) << "a locate past the end goes to the last frame";

    // The whole file's waveform, its second half three times as loud as its first.
    int quarter = 0, threeQuarters = 0;
    bool drawn = WaitFor(
        [&] {
            Capture band = BandPixels(player.Window());
            if (band.width < 8)
                return false;
            quarter = WaveHeight(band, band.width / 4);
            threeQuarters = WaveHeight(band, band.width * 3 / 4);
            return quarter > 2 && threeQuarters > 2 * quarter;
        },
        SETTLE_DEADLINE_MS);
    EXPECT_TRUE(drawn) << "waveform heights at a quarter " << quarter << ", at three quarters "
                       << threeQuarters;

    Request("play");
    EXPECT_TRUE(player.WaitForAdvance()) << "play";
}

INSTANTIATE_TEST_SUITE_P(Tones, SoundFile, ::testing::ValuesIn(FILES),
                         [](const ::testing::TestParamInfo<SoundCase> &info) {
                             return TestNameOf(info.param.file);
                         });

using LongSound = PlayerTest;

// Five minutes of MP3 take Wine a second or more to decode for the waveform: each reopen and the
// close come while its thread is still at work. It is stopped and joined every time, and the
// Player window keeps answering meanwhile.
TEST_F(LongSound, ReopenedAndClosedWhileItsWaveformIsComputed)
{
    if (SoundOutputOff())
        GTEST_SKIP() << "no sound output: sound files are refused (NotSound tests)";
    const int REOPENS = 3, LONG_FRAMES = 5 * 60 * RATE;
    const DWORD STALL_LIMIT_MS = 1000;
    StartOn(Clip("long.mp3"), "25");
    StallProbe probe(player.Window());
    ASSERT_TRUE(player.WaitForAdvance()) << player.VideoMessage();
    for (int open = 1; open <= REOPENS; open++) {
        SCOPED_TRACE("reopen " + std::to_string(open));
        // The Decoder dialog's OK opens the file again; "-" keeps the automatic choice.
        ASSERT_EQ(player.ChooseDecoder("-"), "-");
        ASSERT_TRUE(player.WaitForAdvance()) << player.VideoMessage();
        CtlResult length = Ctl("length");
        EXPECT_GE(atoi(length.output.c_str()), LONG_FRAMES) << length.output;
    }
    ASSERT_EQ(player.ChooseDecoder("-"), "-");
    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
    DWORD longest = probe.Stop();
    EXPECT_LT(longest, STALL_LIMIT_MS) << "the Player window did not answer for " << longest
                                       << " ms";
}

using NotSound = PlayerTest;

TEST_F(NotSound, RandomBytesNamedMp3AreRefusedAndThePlayerAnswers)
{
    StartOn(Clip("noise.mp3"), "25");
    const std::string refusal = "Cannot open noise.mp3: no MP3 sound in it";
    EXPECT_TRUE(WaitFor([&] { return player.VideoMessage() == refusal; }, SETTLE_DEADLINE_MS))
        << "message \"" << player.VideoMessage() << "\"";
    CtlResult query = Ctl("query");
    EXPECT_EQ(query.exitCode, 0) << query.output;
    EXPECT_TRUE(player.PlayUnchecked());
    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
}

// A machine without a sound device: the file is refused, and the reason says why.
TEST_F(NotSound, WithoutASoundOutputASoundFileSaysSo)
{
    if (!SoundOutputOff())
        GTEST_SKIP() << "sound plays here (e2e_sound_silent runs this with VANTOREL_SOUND=off)";
    StartOn(Clip("tone.wav"), "25");
    const std::string refusal = "Cannot open tone.wav: no sound output to play it on";
    EXPECT_TRUE(WaitFor([&] { return player.VideoMessage() == refusal; }, SETTLE_DEADLINE_MS))
        << "message \"" << player.VideoMessage() << "\"";
    // The failure reaches the play button by a posted notice, after the message.
    EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, SETTLE_DEADLINE_MS));
}

}  // namespace
