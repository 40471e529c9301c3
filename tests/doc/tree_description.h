#pragma once

#include <string>

class XPxmlNode;

// An element's element children written one per line as Name(attr=value …),
// so that a whole list can be checked in one comparison.
std::string describeChildren(XPxmlNode* parent);
// The same for the element alone.
std::string describeElement(const XPxmlNode* element);
