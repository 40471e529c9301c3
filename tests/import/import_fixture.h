#pragma once

#include "import/music_import.h"
#include "xml/xpxml_doc.h"

#include <memory>
#include <string>
#include <vector>

// One import of bytes as the program does it, kept for the checks.
struct Imported {
    bool ok = false;
    std::vector<std::string> messages;
    ImportOutcome outcome;
    ImportedPiece piece;
    std::unique_ptr<XPxmlDoc> tree = std::make_unique<XPxmlDoc>();
    // The note list in short: "|M4/4 T120 4[9] 8.[9,11]~ r8 |".
    std::string music() const;
    // An attribute of the Config element named element, "" when absent.
    std::string config(const char* element, const char* attribute) const;
};

Imported importBytes(std::vector<char> bytes, const ImportChoice& choice = {}, const std::string& path = "song");
Imported importText(const std::string& text, const ImportChoice& choice = {});
