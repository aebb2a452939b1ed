// Where the program's files lie: process-wide path buffers, set on the
// user-interface thread only.
#pragma once

constexpr int kPathBufferSize = 260;

extern char g_szAppDir[kPathBufferSize];          // install folder, no trailing backslash
extern char g_szDescriptorPath[kPathBufferSize];  // g_szAppDir + "\upt.cfg"
extern char g_szConfigPath[kPathBufferSize];      // g_szAppDir + "\config.ini"
extern char g_szPackagePath[kPathBufferSize];     // g_szAppDir + "\" + package name

// Reads the executable's path (200 bytes at most, as the launcher does) into
// buffer and cuts it at its last backslash. buffer holds at least 200 bytes.
void DeriveAppDir(char* buffer);

// Sets g_szAppDir, then g_szConfigPath and g_szDescriptorPath from it.
void FormInstallPaths();

// Sets g_szPackagePath to the install folder, a backslash and packageName
// (at most 59 bytes, as the descriptor gives it).
void FormPackagePath(const char* packageName);
