// Keystrokes as text for comparisons that print well: "10v BAv BA^ 10^ ".
#pragma once

#include <stdio.h>

#include <string>
#include <vector>

#include "player/keystrokes.h"

inline std::string Describe(const std::vector<KeyStroke> &strokes)
{
    std::string text;
    char item[16];
    for (const KeyStroke &s : strokes) {
        if (s.key == 0)  // a character typed as itself
            snprintf(item, sizeof item, "U+%04X%s ", s.character, s.up ? "^" : "v");
        else
            snprintf(item, sizeof item, "%02X%s ", s.key, s.up ? "^" : "v");
        text += item;
    }
    return text;
}
