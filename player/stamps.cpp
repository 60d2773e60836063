// The [Stamp] settings and the text of a typed stamp.
#include "player/stamps.h"

#include "player/player.h"
#include "settings/settings.h"

StampValues Stamps = {"", 0.0, 0, TIMECODE_DEFAULT_BASE};

void ReadStampSettings(void)
{
    ReadSetting(SECTION_STAMP, KEY_STAMP_TEMPLATE, DEFAULT_STAMP_TEMPLATE, Stamps.templateText,
                sizeof Stamps.templateText);
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_STAMP, KEY_LOCATE_HOTKEY, DEFAULT_LOCATE_HOTKEY, text, sizeof text);
    Stamps.locateHotKey = WideHotKeyFromName(text, Stamps.locateHotKey);
    char seconds[SECONDS_READ_SIZE];
    ReadSetting(SECTION_STAMP, KEY_LAG_SECONDS, DEFAULT_LAG_SECONDS, seconds, sizeof seconds);
    Stamps.lagSeconds = RewindSecondsFromText(seconds);  // the same range and form
}

StampClock CurrentStampClock(void)
{
    return StampClock{Player.timecodeFormat, Stamps.frameRate, Player.tcOffset};
}

int StampTypedText(uint16_t text[TYPED_STAMP_SIZE])
{
    StampClock clock = CurrentStampClock();
    int32_t frame = LaggedFrame(ReportedMediaFrame(), Stamps.lagSeconds, clock.frameRate);
    // The offset in force at that frame: a recording with breaks has one per stretch.
    clock.offsetFrames = (int32_t)((uint32_t)TimecodeOfMediaFrame(frame) - (uint32_t)frame);
    char typed[TYPED_STAMP_SIZE];
    if (Stamps.templateText[0]) {
        FormatStamp(Stamps.templateText, frame, clock, typed, sizeof typed);
    } else {
        char tc[TIMECODE_BUFFER_SIZE];
        // Without a lag the packed position typed as it always was; the same frame otherwise.
        int32_t position = Stamps.lagSeconds > 0
            ? TimecodeOfMediaFrame(frame)
            : UnpackTimecode(Player.currentTimecode, Player.timecodeFormat);
        FormatTimecode(tc, position, Player.timecodeFormat);
        TimecodeTypedText(tc, Player.showFramesMode, Player.appendSignMode, typed);
    }
    // A template's own characters are in the settings file's code page.
    int length = MultiByteToWideChar(CP_ACP, 0, typed, -1, (WCHAR *)text, TYPED_STAMP_SIZE);
    if (length == 0)
        text[0] = 0;
    return length > 0 ? length - 1 : 0;
}
