// A version resource as a tree of blocks: each has a key, a value (binary
// or text) and child blocks, as VS_VERSIONINFO lays them out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VersionNode {
    std::string key;      // code page 936
    bool isText;
    std::string value;    // binary: raw bytes; text: code page 936, no terminator
    std::vector<VersionNode> children;

    // The child with the key, or null.
    const VersionNode* Child(const std::string& childKey) const;
};

// Parses bytes into *root; false when a block's length runs past the end.
bool ParseVersionBlock(const std::string& bytes, VersionNode* root);
