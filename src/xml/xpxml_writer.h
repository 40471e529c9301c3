#pragma once

#include <string>

class XPxmlNode;

// Writes nodes back as XML text: names and values unchanged (no entities),
// no indentation. Working nodes and attributes (ignore prefix) are left out.
class XPxmlWriter {
public:
    // Appends node and its subtree to out; returns the node's result code
    // (2910 when it has no name, in which case only its children are written).
    static int write(const XPxmlNode* node, std::string& out);
    // Records the result of writing node: 0, or 2910 when it had no name.
    static void markWritten(const XPxmlNode* node, bool named);
};
