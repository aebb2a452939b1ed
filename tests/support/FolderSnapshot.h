// The files of a folder tree with their bytes, to tell which files a run
// created, changed or removed.
#pragma once

#include <map>
#include <string>
#include <vector>

// Relative path -> bytes.
using FolderSnapshot = std::map<std::string, std::string>;

FolderSnapshot SnapshotFolder(const std::string& folder);

// Relative paths that are new, changed or gone in after, in order.
std::vector<std::string> FilesTouched(const FolderSnapshot& before, const FolderSnapshot& after);
