// A dialog template as the resource file stores it, classic or extended,
// with its texts in code page 936. The dialog manager changes some styles
// when it builds the window; this is what the template itself says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A name-or-ordinal field: no entry, a number, or a text.
struct TemplateName {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::string text;
};

struct TemplateItem {
    uint32_t style, exStyle;
    int x, y, cx, cy;
    uint32_t id;  // a classic template stores 16 bits: IDC_STATIC reads 0xFFFF
    TemplateName windowClass;
    TemplateName text;
    uint16_t extraBytes;
};

struct DialogTemplate {
    bool extended;
    uint32_t style, exStyle;
    int x, y, cx, cy;
    TemplateName menu, windowClass;
    std::string caption;
    // Font, present with DS_SETFONT; weight, italic and charset only in an
    // extended template.
    uint16_t pointSize, weight;
    uint8_t italic, charset;
    std::string face;
    std::vector<TemplateItem> items;
};

// Parses bytes into *dlg; false when they end early.
bool ParseDialogTemplate(const std::string& bytes, DialogTemplate* dlg);

// A control's class in lower case, the predefined atoms named
// ("button", "edit", "static", ...); windres stores upper-case names.
std::string ClassNameOf(const TemplateName& windowClass);
