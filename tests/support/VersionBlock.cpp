#include "tests/support/VersionBlock.h"

#include "tests/support/ByteReader.h"
#include "tests/support/ResourceFile.h"

namespace {

// Reads the block at in's position, which ends at most at limit.
bool ParseNode(const std::string& bytes, ByteReader& in, size_t limit, VersionNode* node)
{
    size_t start = in.Offset();
    uint16_t length = in.Word();
    uint16_t valueLength = in.Word();
    node->isText = in.Word() == 1;
    size_t end = start + length;
    if (length < 6 || end > limit)
        return false;
    node->key = Gbk(in.WideString());
    in.AlignToDword();
    // A text value's length counts characters; read it up to its NUL.
    size_t valueBytes = node->isText ? valueLength * 2u : valueLength;
    size_t valueStart = in.Offset();
    if (valueStart + valueBytes > end)
        valueBytes = end > valueStart ? end - valueStart : 0;
    if (node->isText) {
        ByteReader text(bytes.substr(0, valueStart + valueBytes), valueStart);
        node->value = Gbk(text.WideString());
    } else {
        node->value = bytes.substr(valueStart, valueBytes);
    }
    in.Seek(valueStart + valueBytes);
    in.AlignToDword();
    node->children.clear();
    while (in.Offset() < end) {
        node->children.emplace_back();
        if (!ParseNode(bytes, in, end, &node->children.back()))
            return false;
        in.AlignToDword();
    }
    in.Seek(end);
    return !in.Overrun();
}

}  // namespace

const VersionNode* VersionNode::Child(const std::string& childKey) const
{
    for (const VersionNode& child : children) {
        if (child.key == childKey)
            return &child;
    }
    return nullptr;
}

bool ParseVersionBlock(const std::string& bytes, VersionNode* root)
{
    ByteReader in(bytes);
    return ParseNode(bytes, in, bytes.size(), root);
}
