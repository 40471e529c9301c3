#pragma once

// XPxml: the program's own XML element tree, its parser and its writer.
#include "xml/xpxml_doc.h"
#include "xml/xpxml_kind.h"
#include "xml/xpxml_list.h"
#include "xml/xpxml_node.h"
