#include "settings/recent.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits up to the separator; false when there are none, something else comes first or the
// number does not fit.
static bool ReadField(const char **p, uint64_t most, uint64_t *value)
{
    const char *q = *p;
    uint64_t n = 0;
    if (!IsDigit(*q))
        return false;
    for (; IsDigit(*q); q++) {
        if (n > (most - (uint64_t)(*q - '0')) / 10)
            return false;
        n = n * 10 + (uint64_t)(*q - '0');
    }
    if (*q != '|')
        return false;
    *p = q + 1;
    *value = n;
    return true;
}

bool ParseRecentEntry(const char *text, RecentEntry *entry)
{
    const char *p = text;
    uint64_t frame = 0;
    if (!ReadField(&p, INT32_MAX, &frame) || !ReadField(&p, UINT64_MAX, &entry->size) ||
        !ReadField(&p, UINT64_MAX, &entry->written))
        return false;
    size_t length = strlen(p);
    if (length == 0 || length >= sizeof entry->path)
        return false;
    entry->frame = (int32_t)frame;
    memcpy(entry->path, p, length + 1);
    return true;
}

void FormatRecentEntry(const RecentEntry &entry, char *text)
{
    snprintf(text, RECENT_ENTRY_SIZE, "%ld|%llu|%llu|%s", (long)(entry.frame < 0 ? 0 : entry.frame),
             (unsigned long long)entry.size, (unsigned long long)entry.written, entry.path);
}

static char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

bool SameRecentPath(const char *a, const char *b)
{
    for (; *a && *b; a++, b++) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

int FindRecent(const RecentEntry *list, int count, const char *path)
{
    for (int i = 0; i < count; i++) {
        if (SameRecentPath(list[i].path, path))
            return i;
    }
    return -1;
}

int RemoveRecent(RecentEntry *list, int count, int index)
{
    if (index < 0 || index >= count)
        return count;
    memmove(&list[index], &list[index + 1], (size_t)(count - index - 1) * sizeof list[0]);
    return count - 1;
}

int PutRecentFirst(RecentEntry *list, int count, const RecentEntry &entry)
{
    RecentEntry first = entry;  // the entry may be one of the list's own
    count = RemoveRecent(list, count, FindRecent(list, count, first.path));
    if (count == RECENT_MOST)
        count--;
    memmove(&list[1], &list[0], (size_t)count * sizeof list[0]);
    list[0] = first;
    return count + 1;
}

// Characters of UTF-8 text: every byte but the continuation bytes starts one.
static int CharsOf(const char *text, size_t bytes)
{
    int chars = 0;
    for (size_t i = 0; i < bytes; i++) {
        if (((unsigned char)text[i] & 0xC0) != 0x80)
            chars++;
    }
    return chars;
}

// Where the part kept at the front ends: after "C:\" or after "\\server\share\".
static size_t HeadLength(const char *path)
{
    if (path[0] == '\\' && path[1] == '\\') {
        int slashes = 0;
        for (size_t i = 2; path[i]; i++) {
            if (path[i] == '\\' && ++slashes == 2)
                return i + 1;
        }
        return 0;
    }
    if (path[0] && path[1] == ':' && path[2] == '\\')
        return 3;
    return 0;
}

static const char kEllipsis[] = "...\\";

// The shortened path, not yet escaped.
static void ShortenPath(const char *path, char *shortened, size_t size)
{
    size_t length = strlen(path);
    size_t head = HeadLength(path);
    const char *name = strrchr(path, '\\');
    if (CharsOf(path, length) <= RECENT_LABEL_CHARS || !name || (size_t)(name - path) < head) {
        snprintf(shortened, size, "%s", path);
        return;
    }
    // The tail starts at a backslash; it takes in one more folder while the whole fits.
    const char *tail = name;
    int fixed = CharsOf(path, head) + (int)sizeof kEllipsis - 1;
    for (;;) {
        const char *before = tail;
        while (before > path + head && *(before - 1) != '\\')
            before--;
        if (before <= path + head)
            break;
        before--;  // onto the backslash before that folder
        if (fixed + CharsOf(before + 1, length - (size_t)(before + 1 - path)) > RECENT_LABEL_CHARS)
            break;
        tail = before;
    }
    snprintf(shortened, size, "%.*s%s%s", (int)head, path, kEllipsis, tail + 1);
}

void RecentMenuLabel(int number, const char *path, char *label)
{
    char shortened[RECENT_PATH_SIZE];
    ShortenPath(path, shortened, sizeof shortened);
    size_t out = (size_t)snprintf(label, RECENT_LABEL_SIZE, "&%d ", number);
    for (const char *p = shortened; *p && out + 3 < RECENT_LABEL_SIZE; p++) {
        // A character is never cut: its bytes go in whole or not at all.
        size_t bytes = 1;
        while (((unsigned char)p[bytes] & 0xC0) == 0x80)
            bytes++;
        if (out + bytes + (*p == '&') + 1 > RECENT_LABEL_SIZE)
            break;
        if (*p == '&')
            label[out++] = '&';
        memcpy(label + out, p, bytes);
        out += bytes;
        p += bytes - 1;
    }
    label[out] = '\0';
}
