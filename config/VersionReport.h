// The decision whether a newer version exists, and the report the dialog
// shows about it. Window-less, so that tests call them directly.
#pragma once

#include <functional>

#include "framework/CString.h"

struct VersionNumbers {
    float total;  // compared in the interactive mode
    float ver;    // compared in the quiet mode
};

// Interactive mode compares totals, quiet mode vers, both strictly; any
// other mode tag always counts as newer.
bool IsNewerVersion(const CString& modeTag, VersionNumbers local, VersionNumbers remote);

struct VersionTexts {
    CString remoteBuild;
    CString remoteDate;
    CString localBuild;
    CString localDate;
};

// The report: the four version lines, "升级内容：", then one line per change
// as changeLine(1), changeLine(2), ... up to the first empty one or the
// hundredth. Lines are joined by CR LF, with none after the last. Values are
// inserted as plain text.
CString FormatVersionReport(const VersionTexts& texts, const std::function<CString(int)>& changeLine);

// Shown instead of the report when the installation is current.
extern const char kUpToDateText[];
