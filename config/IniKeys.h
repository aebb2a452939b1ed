// Every key the program reads from config.ini and from the update
// descriptor upt.cfg, with its section and its read size (characters,
// terminator included: a longer value is cut to size - 1).
#pragma once

struct IniKey {
    const char* section;
    const char* key;
    int size;
};

// config.ini, beside the executable.
namespace LocalConfig {
constexpr IniKey ver{"OPTION", "ver", 40};        // number compared in mode "ery"
constexpr IniKey total{"OPTION", "total", 40};    // number compared in mode "eck"
constexpr IniKey build{"OPTION", "build", 40};    // text shown as the current version
constexpr IniKey date{"OPTION", "date", 40};      // text shown as its date
constexpr IniKey folder{"OPTION", "folder", 40};  // sub-folder holding Zevi.exe
}  // namespace LocalConfig

// upt.cfg, the update descriptor fetched from the server.
namespace Descriptor {
constexpr IniKey total{"VERSION", "total", 20};
constexpr IniKey ver{"VERSION", "ver", 20};
constexpr IniKey build{"VERSION", "build", 20};
constexpr IniKey date{"VERSION", "date", 20};

constexpr IniKey extraVisible{"ADDITIONAL", "visible", 20};  // 1: show the extra button
constexpr IniKey extraCaption{"ADDITIONAL", "caption", 50};
constexpr IniKey extraTarget{"ADDITIONAL", "target", 200};   // "file": download, else open
constexpr IniKey extraUrl{"ADDITIONAL", "url", 200};
constexpr IniKey extraFile{"ADDITIONAL", "file", 20};        // local path, used as given
constexpr IniKey extraMessage{"ADDITIONAL", "msg", 255};     // shown when the file is in
// 64 hex digits, required when a key is built in; read longer than that so
// that a longer value shows instead of being cut to fit.
constexpr IniKey extraSha256{"ADDITIONAL", "sha256", 80};

constexpr const char* contentSection = "CONTENT";
constexpr const char* contentKeyFormat = "line%d";  // line1 ... line100
constexpr int contentLineSize = 255;
constexpr int contentMaxLines = 100;

constexpr IniKey packageUrl{"ADDRESS", "url", 200};
constexpr IniKey packageFile{"ADDRESS", "file", 60};  // name inside the install folder
constexpr IniKey packageSha256{"ADDRESS", "sha256", 80};  // as extraSha256

constexpr const char* extraTargetFile = "file";
}  // namespace Descriptor
