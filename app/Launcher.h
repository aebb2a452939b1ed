// Launcher mode: bring the running main program to the front, or start it
// from the folder that config.ini names.
#pragma once

// The main program's top-level window.
extern const char kMainWindowClass[];   // "ThunderRT6FormDC"
extern const char kMainWindowTitle[];   // "Quillorn2019"
extern const char kOldMainWindowTitle[];  // "Quillorn2016"

// Size of the buffers in which the executable's path is read and the
// launcher builds its paths.
constexpr int kModulePathSize = 200;

// True when the executable's full path fits kModulePathSize bytes with its
// terminator.
bool ModulePathFits();

// Tells the user that the executable's path is too long to work with: the
// "not found" message with the path as far as it fits and error 206.
void ReportLongModulePath();

// Brings the main program forward or starts it, telling the user of a
// missing file; then ends the process with status 0.
[[noreturn]] void RunLauncher();
