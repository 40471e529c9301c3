#pragma once

#include "xml/xpxml_doc.h"

#include <pugixml.hpp>
#include <tinyxml2.h>

#include <cstring>
#include <string>

// XPxml and the two reference libraries behind one shape, so that every
// benchmark is written once for all three.

// What a walk over the notes read; checked against the generator's count.
struct NoteWalk {
    size_t notes = 0;
    size_t bytes = 0; // lengths of the values read, so the reads cannot be skipped

    void add(const char* value, const char* tines)
    {
        ++notes;
        bytes += (value ? std::strlen(value) : 0) + (tines ? std::strlen(tines) : 0);
    }
};

inline bool isNote(const char* name)
{
    return std::strcmp(name, "Note") == 0;
}

struct XPxmlLibrary {
    static constexpr const char* kName = "XPxml";
    using Document = XPxmlDoc;

    static bool load(Document& doc, const std::string& text)
    {
        return doc.loadText(text.data(), text.size()) == XPxmlError::None;
    }

    static NoteWalk walkNotes(Document& doc)
    {
        NoteWalk walk;
        XPxmlNode* root = doc.rootElement();
        // By child, not findElement: "Config" holds a "Notes" element too.
        XPxmlNode* notes = root ? root->findChild("Notes") : nullptr;
        for (XPxmlNode* n = notes ? notes->firstElementChild() : nullptr; n; n = n->nextSibling())
            if (isNote(n->name()))
                walk.add(n->getAttribute("Value"), n->getAttribute("Tines"));
        return walk;
    }
};

struct PugixmlLibrary {
    static constexpr const char* kName = "pugixml";
    using Document = pugi::xml_document;

    static bool load(Document& doc, const std::string& text)
    {
        return doc.load_buffer(text.data(), text.size());
    }

    static NoteWalk walkNotes(Document& doc)
    {
        NoteWalk walk;
        const pugi::xml_node notes = doc.child("Zolva").child("Notes");
        for (pugi::xml_node n = notes.first_child(); n; n = n.next_sibling())
            if (isNote(n.name()))
                walk.add(n.attribute("Value").value(), n.attribute("Tines").value());
        return walk;
    }
};

struct Tinyxml2Library {
    static constexpr const char* kName = "tinyxml2";
    using Document = tinyxml2::XMLDocument;

    static bool load(Document& doc, const std::string& text)
    {
        return doc.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS;
    }

    static NoteWalk walkNotes(Document& doc)
    {
        NoteWalk walk;
        const tinyxml2::XMLElement* root = doc.FirstChildElement("Zolva");
        const tinyxml2::XMLElement* notes = root ? root->FirstChildElement("Notes") : nullptr;
        for (auto* n = notes ? notes->FirstChildElement() : nullptr; n; n = n->NextSiblingElement())
            if (isNote(n->Name()))
                walk.add(n->Attribute("Value"), n->Attribute("Tines"));
        return walk;
    }
};
