#pragma once

#include "xml/xpxml_node.h"
#include "xml/xpxml_writer.h"

#include <string>

// The text the writer makes of node: what tests compare elements by.
inline std::string written(const XPxmlNode* node)
{
    std::string out;
    XPxmlWriter::write(node, out);
    return out;
}
