// Reads a dialog template resource (DLGTEMPLATE or DLGTEMPLATEEX) into plain values.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TemplateItem {
    int id;
    std::string className;  // standard classes given by atom come back as "BUTTON", "STATIC", ...
    std::string text;       // an ordinal text comes back as "#n"
    int x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, className, title;
    int pointSize = 0;
    std::string fontName;
    std::vector<TemplateItem> items;
};

// False when the resource is missing.
bool ReadDialogTemplate(HMODULE module, const char *name, DialogTemplate *out);
