// Reading INI values through the system's private-profile reader, with an
// empty default: a missing file, section or key reads as "".
#pragma once

#include "config/IniKeys.h"
#include "framework/CString.h"

// The value of key in the INI file at path (a full path), cut to key.size - 1.
CString ReadIniString(const char* path, const IniKey& key);

// The same for a key whose name is only known at run time.
CString ReadIniString(const char* path, const char* section, const char* key, int size);
