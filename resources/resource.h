// Names of the program's resources, and the ids of every control and menu item in them. Shared
// by the resource script, the Player window, the dialogs and their tests.
#pragma once

// Dialog templates.
#define IDD_ZENTRIX "ZENTRIX"  // the Player window
#define IDD_OPTIONS "OPTIONS"
#define IDD_DECODER "DECODER"
#define IDD_ABOUT   "ABOUT"
#define IDD_PLAYBACK "PLAYBACK"
#define IDD_PEDAL "PEDAL"

// The Player window's class, named by its template and registered at start-up.
#define VANTOREL_DLGCLASS "VANTORELDLGCLASS"

// The two controls of our own; class names are matched without regard to case, and the Player
// window's template writes the slider's in capitals.
#define TRACKER_CLASS           "Tracker"
#define TRACKER_TEMPLATE_CLASS  "TRACKER"
#define TCDISPLAY_CLASS         "TCDisplay"

// Menu "APPL": one popup, the Player window's menu.
#define IDR_APPL_MENU "APPL"
#define IDM_HELP    1000
#define IDM_ABOUT   1001
#define IDM_OPTIONS 1002
#define IDM_DECODER 1003
#define IDM_PLAYBACK 1004
#define IDM_ALWAYSONTOP 1007
#define IDM_RECENT_FIRST 1010  // the recent files, 1010 (the most recent) to 1017
#define IDM_PEDAL 1005

// Icons: the program's icon and its small icon.
#define IDI_APPL   "APPL"
#define IDI_APPLSM "APPLSM"

// Bitmaps of the transport buttons (four images of 16 rows stacked) and of the Tracker.
#define IDB_PLAY     "B_PLAY"
#define IDB_STOP     "B_STOP"
#define IDB_REW      "B_REW"
#define IDB_FF       "B_FF"
#define IDB_EJECT    "B_EJECT"
#define IDB_TRACK    "HPARAMETER"
#define IDB_KNOB     "HPARAMETERKNOP"

#define IDC_STATIC (-1)

// Player window "ZENTRIX".
#define IDC_PLAY      101
#define IDC_STOP      102
#define IDC_REWIND    103
#define IDC_FORWARD   104
#define IDC_TRACKER   201
#define IDC_TCDISPLAY 301
#define IDC_MENU      401
#define IDC_VIDEO     1000

// Options dialog "OPTIONS".
#define IDC_OPT_RATE_GROUP      100
#define IDC_OPT_FRAMERATE       101
#define IDC_OPT_TCOFFSET        102
#define IDC_OPT_KEYS_GROUP      200
#define IDC_OPT_APPENDSIGN      201
#define IDC_OPT_SHOWFRAMES      202
#define IDC_OPT_TCHOTKEY        203
#define IDC_OPT_STARTSTOP_GROUP 300
#define IDC_OPT_STARTSTOPKEY    301
#define IDC_OPT_TCSOURCE        400  // "from the file" while the file's timecode is in force
#define IDC_OPT_TCSOURCE_START  401  // and the file's start timecode; both empty otherwise

// Decoder dialog "DECODER".
#define IDC_DEC_LIST 101

// About dialog "ABOUT".
#define IDC_ABOUT_TITLE   101
#define IDC_ABOUT_CREDITS 102

// Playback dialog "PLAYBACK". A refusal line beside each jump and speed key stays empty until the key is
// refused.
#define IDC_PB_TIMES_GROUP         100
#define IDC_PB_REWIND              101
#define IDC_PB_JUMPSECONDS         102
#define IDC_PB_KEYS_GROUP          200
#define IDC_PB_JUMPBACKKEY         201
#define IDC_PB_JUMPBACK_REFUSED    202
#define IDC_PB_JUMPFORWARDKEY      203
#define IDC_PB_JUMPFORWARD_REFUSED 204
#define IDC_PB_SPEED_GROUP         300
#define IDC_PB_SPEED               301
#define IDC_PB_SLOWERKEY           302
#define IDC_PB_SLOWER_REFUSED      303
#define IDC_PB_FASTERKEY           304
#define IDC_PB_FASTER_REFUSED      305
#define IDC_PB_DAY_GROUP           600
#define IDC_PB_RESUME              601
#define IDC_PB_SLIDERFOLLOWS       602
#define IDC_PB_LOOPKEY             603
#define IDC_PB_LOOP_REFUSED        604
#define IDC_PB_LOOPSECONDS         605
#define IDC_PB_LOOPSPEED           606
#define IDC_PB_SOURCETC            500  // the file's own timecode where no TC offset is set

// Stamps dialog "STAMPS", in the ▲ menu.
#define IDD_STAMPS "STAMPS"
#define IDM_STAMPS 1006
#define IDC_ST_FORM_GROUP       100
#define IDC_ST_PRESET           101
#define IDC_ST_TEMPLATE         102
#define IDC_ST_EXAMPLE          103
#define IDC_ST_KEYS_GROUP       110
#define IDC_ST_LAG              111
#define IDC_ST_LOCATEKEY        112
#define IDC_ST_LOCATE_REFUSED   113
// The hold-to-play key, which may be F13 to F24 as well.
#define IDC_PB_HOLD_GROUP          400
#define IDC_PB_HOLDTOPLAYKEY       401
#define IDC_PB_HOLDTOPLAY_REFUSED  402

// Pedal dialog "PEDAL": the pedal found, each button's action with a light that shows while the
// button is held, the Device text and the hold-to-play key.
#define IDC_PD_GROUP       100
#define IDC_PD_MODEL       101
#define IDC_PD_LEFT        102
#define IDC_PD_MIDDLE      103
#define IDC_PD_RIGHT       104
#define IDC_PD_LEFT_HELD   105
#define IDC_PD_MIDDLE_HELD 106
#define IDC_PD_RIGHT_HELD  107
#define IDC_PD_DEVICE      108
#define IDC_PD_HOLDKEY     109

// Version resource.
#define VANTOREL_VERSION_BINARY 1, 20, 0, 0
#define VANTOREL_VERSION_TEXT   "1.20"
