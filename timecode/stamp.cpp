#include "timecode/stamp.h"

#include <string.h>

// A trailing blank, as the designed form's append sign has by default: the user types on.
const StampPreset StampPresets[STAMP_PRESET_COUNT] = {
    {"Designed (01:02:03:04)", ""},
    {"InqScribe [01:02:03.04]", "[{HH}:{MM}:{SS}.{FF}] "},
    {"f4transkript #01:02:03-4#", "#{HH}:{MM}:{SS}-{T}# "},
    {"Subtitles, SRT 01:02:03,456", "{HH}:{MM}:{SS},{mmm} "},
    {"Round brackets (01:02:03)", "({HH}:{MM}:{SS}) "},
    {"Minutes and seconds [01:02]", "[{MM}:{SS}] "},
};

enum {
    MS_PER_SECOND = 1000,
    MS_PER_DAY = 86400 * 1000,
    NTSC_DENOMINATOR = 1001,
    DECIMAL_DENOMINATOR = 1000,  // other rates are kept to thousandths of a frame per second
    RATE_MOST = 1000,
};

// Frames per second as num / den, exact for the NTSC rates, so that milliseconds are worked out
// in integers and a stamp read back names the very frame it was typed for.
struct Rate {
    int64_t num, den;
};

// The engine counts a rate within 0.1% of an NTSC rate at that rate exactly; no number, or none
// above zero, counts at the base.
static Rate MediaRate(double frameRate, int base)
{
    static const int64_t ntsc[] = {24000, 30000, 48000, 60000};
    if (!(frameRate > 0) || frameRate > RATE_MOST)
        return Rate{base, 1};
    for (int64_t n : ntsc) {
        double exact = (double)n / NTSC_DENOMINATOR;
        if (frameRate > exact * 0.999 && frameRate < exact * 1.001)
            return Rate{n, NTSC_DENOMINATOR};
    }
    int64_t num = (int64_t)(frameRate * DECIMAL_DENOMINATOR + 0.5);
    return Rate{num > 0 ? num : 1, DECIMAL_DENOMINATOR};
}

static int BaseOf(TimecodeFormat format)
{
    char text[TIMECODE_BUFFER_SIZE];
    // The last frame of a second shows the base the numbering runs at, whatever was asked for.
    FormatTimecode(text, TimecodeFramesPerDay(format) - 1, format);
    return (text[10] - '0') * 10 + (text[11] - '0') + 1;
}

int32_t LaggedFrame(int32_t mediaFrame, double lagSeconds, double frameRate)
{
    if (!(lagSeconds > 0))
        return mediaFrame;
    Rate rate = MediaRate(frameRate, TIMECODE_DEFAULT_BASE);
    double lagFrames = lagSeconds * (double)rate.num / (double)rate.den + 0.5;
    int64_t frame = (int64_t)mediaFrame - (int64_t)lagFrames;
    return frame < 0 ? 0 : (int32_t)frame;
}

// The media time of a frame in whole milliseconds, rounded down: every frame's own start.
static int64_t MediaMs(int64_t frame, Rate rate)
{
    int64_t scaled = frame * rate.den * MS_PER_SECOND;
    return scaled >= 0 ? scaled / rate.num : -((-scaled + rate.num - 1) / rate.num);
}

// The first frame whose media time is at or after ms.
static int64_t FrameAtMs(int64_t ms, Rate rate)
{
    int64_t d = rate.den * MS_PER_SECOND;
    int64_t scaled = ms * rate.num;
    return scaled >= 0 ? (scaled + d - 1) / d : -(-scaled / d);
}

struct Fields {
    unsigned hours, minutes, seconds, frames, ms;
};

static unsigned Digits2(const char *p)
{
    return (unsigned)((p[0] - '0') * 10 + (p[1] - '0'));
}

// The timecode of a position as the display shows it, without the sign (the display has none).
static void LabelFields(int32_t position, TimecodeFormat format, Fields *f, char tc[TIMECODE_BUFFER_SIZE])
{
    FormatTimecode(tc, position, format);
    f->hours = Digits2(tc + 1);
    f->minutes = Digits2(tc + 4);
    f->seconds = Digits2(tc + 7);
    f->frames = Digits2(tc + 10);
}

// The TC offset as a time of day: its hours, minutes and seconds, and its frames at the media's
// rate. A negative offset counts back.
static int64_t OffsetMs(StampClock clock, Rate rate)
{
    char tc[TIMECODE_BUFFER_SIZE];
    Fields f;
    LabelFields(clock.offsetFrames, clock.format, &f, tc);
    int64_t ms = ((int64_t)f.hours * 3600 + f.minutes * 60 + f.seconds) * MS_PER_SECOND +
                 MediaMs(f.frames, rate);
    return clock.offsetFrames < 0 ? -ms : ms;
}

static int32_t Position(int32_t mediaFrame, int32_t offsetFrames)
{
    // Wrapping addition, as the display does: an offset can take a position below zero.
    return (int32_t)((uint32_t)mediaFrame + (uint32_t)offsetFrames);
}

static void ClockFields(int64_t ms, Fields *f)
{
    ms = (ms < 0 ? -ms : ms) % MS_PER_DAY;
    f->ms = (unsigned)(ms % MS_PER_SECOND);
    int64_t seconds = ms / MS_PER_SECOND;
    f->hours = (unsigned)(seconds / 3600);
    f->minutes = (unsigned)(seconds / 60 % 60);
    f->seconds = (unsigned)(seconds % 60);
}

enum FieldKind {
    FIELD_NONE, FIELD_HOURS, FIELD_MINUTES, FIELD_SECONDS, FIELD_FRAMES, FIELD_TENTHS,
    FIELD_MS, FIELD_TIMECODE, FIELD_TAB, FIELD_LINE_BREAK,
};

static const struct {
    const char *name;
    FieldKind kind;
} FieldNames[] = {
    {"{HH}", FIELD_HOURS}, {"{MM}", FIELD_MINUTES}, {"{SS}", FIELD_SECONDS},
    {"{FF}", FIELD_FRAMES}, {"{T}", FIELD_TENTHS}, {"{mmm}", FIELD_MS},
    {"{TC}", FIELD_TIMECODE}, {"{TAB}", FIELD_TAB}, {"{NL}", FIELD_LINE_BREAK},
};

// The field at p and its length in the template; FIELD_NONE for a plain character.
static FieldKind FieldAt(const char *p, int *length)
{
    for (const auto &field : FieldNames) {
        size_t n = strlen(field.name);
        if (strncmp(p, field.name, n) == 0) {
            *length = (int)n;
            return field.kind;
        }
    }
    *length = 1;
    return FIELD_NONE;
}

static bool IsClockTemplate(const char *templateText)
{
    for (const char *p = templateText; *p;) {
        int length;
        FieldKind kind = FieldAt(p, &length);
        if (kind == FIELD_TENTHS || kind == FIELD_MS)
            return true;
        p += length;
    }
    return false;
}

struct Out {
    char *text;
    int size, length;
};

static void Put(Out *out, const char *s)
{
    for (; *s; s++) {
        if (out->length + 1 < out->size)
            out->text[out->length++] = *s;
    }
}

static void PutNumber(Out *out, unsigned value, int width)
{
    char digits[8];
    for (int i = width - 1; i >= 0; i--, value /= 10)
        digits[i] = (char)('0' + value % 10);
    digits[width] = '\0';
    Put(out, digits);
}

int FormatStamp(const char *templateText, int32_t mediaFrame, StampClock clock, char *text,
                int size)
{
    if (size <= 0)
        return 0;
    Rate rate = MediaRate(clock.frameRate, BaseOf(clock.format));
    Fields label, time;
    char tc[TIMECODE_BUFFER_SIZE];
    LabelFields(Position(mediaFrame, clock.offsetFrames), clock.format, &label, tc);
    ClockFields(MediaMs(mediaFrame, rate) + OffsetMs(clock, rate), &time);
    const Fields &hms = IsClockTemplate(templateText) ? time : label;
    Out out = {text, size, 0};
    for (const char *p = templateText; *p;) {
        int length;
        switch (FieldAt(p, &length)) {
        case FIELD_HOURS: PutNumber(&out, hms.hours, 2); break;
        case FIELD_MINUTES: PutNumber(&out, hms.minutes, 2); break;
        case FIELD_SECONDS: PutNumber(&out, hms.seconds, 2); break;
        case FIELD_FRAMES: PutNumber(&out, label.frames, 2); break;
        case FIELD_TENTHS: PutNumber(&out, time.ms / 100, 1); break;
        case FIELD_MS: PutNumber(&out, time.ms, 3); break;
        case FIELD_TIMECODE: Put(&out, tc + 1); break;
        case FIELD_TAB: Put(&out, "\t"); break;
        case FIELD_LINE_BREAK: Put(&out, "\r\n"); break;
        case FIELD_NONE: {
            char one[2] = {*p, '\0'};
            Put(&out, one);
            break;
        }
        }
        p += length;
    }
    text[out.length] = '\0';
    return out.length;
}

// Reading stamps back. Each form is matched from its first field to its last: the brackets,
// hashes and blanks around a stamp are the user's to select or not.

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

static bool IsSeparator(char c)
{
    return c == ':' || c == ';';
}

struct Match {
    int length;
    bool clock;
    Fields fields;
};

// Reads width digits at text (1 to width for the first field, which may lose its leading zero
// when typed by hand). Returns the count read, 0 when there are too few.
static int ReadDigits(const char *text, int width, bool shortAllowed, unsigned *value)
{
    int n = 0;
    unsigned v = 0;
    while (n < width && IsDigit(text[n]))
        v = v * 10 + (unsigned)(text[n++] - '0');
    if (n < width && !(shortAllowed && n > 0))
        return 0;
    *value = v;
    return n;
}

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Matches the fields and characters of core (a template from its first field to its last) at
// text. Returns the length matched, 0 for no match.
static int MatchCore(const char *core, int coreLength, const char *text, Match *m)
{
    memset(m, 0, sizeof *m);
    const char *t = text;
    bool firstField = true;
    for (const char *p = core; p < core + coreLength;) {
        int length;
        FieldKind kind = FieldAt(p, &length);
        int n = 1;
        switch (kind) {
        case FIELD_HOURS: n = ReadDigits(t, 2, firstField, &m->fields.hours); break;
        case FIELD_MINUTES: n = ReadDigits(t, 2, firstField, &m->fields.minutes); break;
        case FIELD_SECONDS: n = ReadDigits(t, 2, firstField, &m->fields.seconds); break;
        case FIELD_FRAMES: n = ReadDigits(t, 2, false, &m->fields.frames); break;
        case FIELD_TENTHS:
            n = ReadDigits(t, 1, false, &m->fields.ms);
            m->fields.ms *= 100;
            m->clock = true;
            break;
        case FIELD_MS:
            n = ReadDigits(t, 3, false, &m->fields.ms);
            m->clock = true;
            break;
        case FIELD_TIMECODE: {
            Match inner;
            static const char designed[] = "{HH}:{MM}:{SS}:{FF}";
            n = MatchCore(designed, (int)sizeof designed - 1, t, &inner);
            m->fields.hours = inner.fields.hours;
            m->fields.minutes = inner.fields.minutes;
            m->fields.seconds = inner.fields.seconds;
            m->fields.frames = inner.fields.frames;
            break;
        }
        case FIELD_TAB:
        case FIELD_LINE_BREAK:
            n = 0;
            while (IsBlank(t[n]))
                n++;
            break;
        case FIELD_NONE:
            // ':' and ';' stand for each other: drop-frame stamps have ';' before the frames.
            n = *p == *t || (IsSeparator(*p) && IsSeparator(*t)) ? 1 : 0;
            break;
        }
        if (n == 0)
            return 0;
        if (kind != FIELD_NONE)
            firstField = false;
        t += n;
        p += length;
    }
    return (int)(t - text);
}

// The part of a template from its first field to the end of its last.
static bool CoreOf(const char *templateText, const char **core, int *coreLength)
{
    const char *start = NULL, *end = NULL;
    for (const char *p = templateText; *p;) {
        int length;
        FieldKind kind = FieldAt(p, &length);
        if (kind != FIELD_NONE && kind != FIELD_TAB && kind != FIELD_LINE_BREAK) {
            if (!start)
                start = p;
            end = p + length;
        }
        p += length;
    }
    *core = start;
    *coreLength = start ? (int)(end - start) : 0;
    return start != NULL;
}

static bool InRange(const Match &m, int base)
{
    return m.fields.hours < 24 && m.fields.minutes < 60 && m.fields.seconds < 60 &&
           m.fields.frames < (unsigned)base;
}

static bool RunGoesOn(const char *after)
{
    return IsDigit(after[0]) || (IsSeparator(after[0]) && IsDigit(after[1]));
}

// The longest stamp of any form at text[i], not inside a longer number.
static bool StampAt(const char *text, int i, const char *const *forms, int formCount, int base,
                    Match *best)
{
    if (i > 0 && IsDigit(text[i - 1]))
        return false;
    if (i > 1 && IsSeparator(text[i - 1]) && IsDigit(text[i - 2]))
        return false;  // the tail of a longer timecode-like run, "25:00:00:00" for one
    best->length = 0;
    for (int k = 0; k < formCount; k++) {
        const char *core;
        int coreLength;
        Match m;
        if (!CoreOf(forms[k], &core, &coreLength))
            continue;
        int n = MatchCore(core, coreLength, text + i, &m);
        if (n > best->length && !RunGoesOn(text + i + n) && InRange(m, base)) {
            *best = m;
            best->length = n;
        }
    }
    return best->length > 0;
}

// The media frame of a position, a day earlier or later when the offset took it round midnight;
// a stamp could also be the display's sign-less text of a position below zero.
static int64_t Unwrap(int64_t stamp, int64_t offset, int64_t day)
{
    if (stamp - offset >= 0)
        return stamp - offset;
    if (-stamp - offset >= 0)
        return -stamp - offset;
    return stamp - offset + day;
}

static int32_t MediaFrameOf(const Match &m, StampClock clock)
{
    Rate rate = MediaRate(clock.frameRate, BaseOf(clock.format));
    const Fields &f = m.fields;
    if (m.clock) {
        int64_t ms = ((int64_t)f.hours * 3600 + f.minutes * 60 + f.seconds) * MS_PER_SECOND + f.ms;
        return (int32_t)FrameAtMs(Unwrap(ms, OffsetMs(clock, rate), MS_PER_DAY), rate);
    }
    char tc[TIMECODE_BUFFER_SIZE];
    tc[0] = ' ';
    const unsigned parts[4] = {f.hours, f.minutes, f.seconds, f.frames};
    for (int k = 0; k < 4; k++) {
        tc[1 + 3 * k] = (char)('0' + parts[k] / 10);
        tc[2 + 3 * k] = (char)('0' + parts[k] % 10);
        tc[3 + 3 * k] = ':';
    }
    tc[TIMECODE_TEXT_LENGTH] = '\0';
    int64_t position = ParseTimecode(tc, clock.format);
    return (int32_t)Unwrap(position, clock.offsetFrames, TimecodeFramesPerDay(clock.format));
}

bool FindStamp(const char *text, int end, bool first, const char *templateText, StampClock clock,
               int32_t *mediaFrame)
{
    const char *forms[STAMP_PRESET_COUNT + 3];
    int formCount = 0;
    forms[formCount++] = templateText;
    forms[formCount++] = "{HH}:{MM}:{SS}:{FF}";
    forms[formCount++] = "{HH}:{MM}:{SS}";
    for (const StampPreset &preset : StampPresets)
        forms[formCount++] = preset.templateText;
    int base = BaseOf(clock.format);
    bool found = false;
    Match last = {};
    int length = (int)strlen(text);
    if (!first && end < length)
        length = end;
    // Stamps do not overlap: one found, the search goes on after it.
    for (int i = 0; i < length;) {
        Match m;
        if (!StampAt(text, i, forms, formCount, base, &m)) {
            i++;
            continue;
        }
        last = m;
        found = true;
        if (first)
            break;
        i += m.length;
    }
    if (found)
        *mediaFrame = MediaFrameOf(last, clock);
    return found;
}
