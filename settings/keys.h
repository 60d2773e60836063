// Every section, key, default and read size of the settings file, and the option keywords.
#pragma once

// Sections and keys.
#define SECTION_SYSTEM          "System"
#define KEY_THEME               "Theme"
#define SECTION_OPTIONS         "Options"
#define KEY_TC_HOTKEY           "TCHotKey"
#define KEY_STARTSTOP_HOTKEY    "StartStopHotKey"
#define KEY_SHOW_KEY_FRAMES     "ShowKeyFrames"
#define KEY_APPEND_KEY_SIGN     "AppendKeySign"
#define SECTION_FRAME_RATE      "FrameRate"
#define SECTION_TC_OFFSET       "TC-Offset"
#define SECTION_DECODER         "Decoder"
#define SECTION_PLAYBACK        "Playback"
#define KEY_REWIND_ON_RESUME    "RewindOnResume"
#define KEY_JUMP_SECONDS        "JumpSeconds"
#define KEY_JUMP_BACK_HOTKEY    "JumpBackHotKey"
#define KEY_JUMP_FORWARD_HOTKEY "JumpForwardHotKey"
#define KEY_SPEED               "Speed"
#define KEY_SLOWER_HOTKEY       "SlowerHotKey"
#define KEY_FASTER_HOTKEY       "FasterHotKey"
#define KEY_RESUME_WHERE_STOPPED "ResumeWhereStopped"
#define KEY_ALWAYS_ON_TOP       "AlwaysOnTop"
#define KEY_LOOP_HOTKEY         "LoopHotKey"
#define KEY_LOOP_SECONDS        "LoopSeconds"
#define KEY_LOOP_SPEED          "LoopSpeed"
#define KEY_SLIDER_FOLLOWS      "SliderFollows"
#define SECTION_RECENT          "Recent"
#define KEY_RECENT_FILE         "File"      // and a number: File1, the most recent, to File8
#define KEY_SOURCE_TIMECODE     "SourceTimecode"
#define KEY_DEFAULT             "default"   // FrameRate and TC-Offset entry of files without their own
#define SECTION_WINDOW_POSITION "WindowPosition"
#define KEY_PLAYER              "Player"
#define KEY_OPTIONS_DIALOG      "Options"
#define KEY_DECODER_DIALOG      "Decoder"
#define KEY_ABOUT_DIALOG        "About"
#define KEY_PLAYBACK_DIALOG     "Playback"

// Defaults when a key is missing.
#define DEFAULT_TC_HOTKEY        "F12"
#define DEFAULT_STARTSTOP_HOTKEY "F11"
#define DEFAULT_SHOW_KEY_FRAMES  "YES"
#define DEFAULT_APPEND_KEY_SIGN  "SPACE"
#define DEFAULT_FRAME_RATE       "25"
#define DEFAULT_TC_OFFSET        " 00:00:00:00"
#define DEFAULT_REWIND_ON_RESUME "0"
#define DEFAULT_JUMP_SECONDS     "5"
#define DEFAULT_JUMP_HOTKEY      "-"
#define DEFAULT_SPEED            "100"
#define DEFAULT_SPEED_HOTKEY     "-"
#define DEFAULT_NO               "NO"       // ResumeWhereStopped, AlwaysOnTop, SliderFollows
#define DEFAULT_LOOP_HOTKEY      "-"
#define DEFAULT_LOOP_SECONDS     "5"
#define DEFAULT_LOOP_SPEED       "75"
#define DEFAULT_SOURCE_TIMECODE  "NO"
#define SOURCE_TIMECODE_ON       "YES"

// Read sizes: the size argument of the read (characters kept plus the terminator).
enum {
    THEME_READ_SIZE = 31,
    OPTION_READ_SIZE = 8,         // hot-key names and keywords: 7 characters
    FRAME_RATE_READ_SIZE = 32,    // 31 characters
    TC_OFFSET_READ_SIZE = 32,
    DECODER_READ_SIZE = 64,       // 63 characters
    WINDOW_POSITION_READ_SIZE = 64,
    SECONDS_READ_SIZE = 16,       // RewindOnResume and JumpSeconds: 15 characters
    SPEED_READ_SIZE = 16,         // Speed: 15 characters
};

// Show-frames and append-sign keywords, indexed by their mode.
enum ShowFramesMode { SHOW_FRAMES_YES = 0, SHOW_FRAMES_NO = 1, SHOW_FRAMES_ZERO = 2 };
enum AppendSignMode { APPEND_SPACE = 0, APPEND_NOT = 1, APPEND_CRLF = 2, APPEND_TAB = 3 };

// The hold-to-play key of [Playback], and the [Pedal] section.
#define KEY_HOLD_TO_PLAY_HOTKEY     "HoldToPlayHotKey"
#define DEFAULT_HOLD_TO_PLAY_HOTKEY "-"
#define SECTION_PEDAL               "Pedal"
#define KEY_PEDAL_DEVICE            "Device"
#define KEY_PEDAL_LEFT              "Left"
#define KEY_PEDAL_MIDDLE            "Middle"
#define KEY_PEDAL_RIGHT             "Right"
#define KEY_PEDAL_DIALOG            "Pedal"
#define DEFAULT_PEDAL_DEVICE        "auto"
#define DEFAULT_PEDAL_LEFT          "Rewind"
#define DEFAULT_PEDAL_MIDDLE        "HoldToPlay"
#define DEFAULT_PEDAL_RIGHT         "FastForward"
enum { PEDAL_ACTION_READ_SIZE = 16 };  // "TypeTimecode" and more
// The [Stamp] section: the form a typed stamp takes, and the key that goes back to one.
#define SECTION_STAMP           "Stamp"
#define KEY_STAMP_TEMPLATE      "Template"
#define KEY_LAG_SECONDS         "LagSeconds"
#define KEY_LOCATE_HOTKEY       "LocateHotKey"
#define KEY_STAMPS_DIALOG       "Stamps"
#define DEFAULT_STAMP_TEMPLATE  ""
#define DEFAULT_LAG_SECONDS     "0"
#define DEFAULT_LOCATE_HOTKEY   "-"
