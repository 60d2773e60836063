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
        snprintf(item, sizeof item, "%02X%s ", s.key, s.up ? "^" : "v");
        text += item;
    }
    return text;
}
