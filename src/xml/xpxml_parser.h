#pragma once

#include "xml/xpxml_attribute_filler.h"
#include "xml/xpxml_name_index.h"
#include "xml/xpxml_slab.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class XPxmlDoc;
class XPxmlNode;

// The hand-written scanner behind XPxmlDoc::loadText: reads the text one byte
// at a time into tokens and builds nodes recursively. Not validating: it
// accepts one root element with comments, processing instructions and a
// document type declaration beside it.
class XPxmlParser {
public:
    XPxmlParser(XPxmlDoc& doc, const char* text, size_t length);

    // Replaces the document's content with the parsed text; returns the error code.
    int load();

private:
    enum TokenKind { NoToken = 0, TextToken = 1, EntityToken = 2, OpenToken = 3, CloseToken = 4 };
    struct Token {
        std::string text;
        int kind = NoToken;
        bool allBlank = true; // every byte read for it was blank
        size_t start = 0;     // input position of its first byte
        long startLine = 1;
    };

    bool readToken(Token& token, bool noEntities, bool skipBlank, char quoted);
    void decodeEntity(Token& token);
    // definition: the value of an !ENTITY or !ELEMENT declaration, whose
    // missing quote is reported as a missing definition.
    bool readQuoted(std::string& value, bool noEntities, bool definition = false);
    std::unique_ptr<XPxmlNode> parseNode(const Token* alreadyRead = nullptr);
    void parseTopLevel();
    // Reads a plain name="value" straight from the input into the filler.
    bool readPlainAttribute();
    // True when a ">" lies at or after from: it bounds the plain scans.
    bool closeAhead(size_t from);
    enum class PlainChild { Parsed, NotPlain, Failed };
    static constexpr uint32_t kPlainAttributes = 8;
    PlainChild parsePlainChild(XPxmlNode* parent);
    // xpxmlCommonName(name, false), remembered for the names seen lately.
    const char* commonNameOf(std::string_view name);
    bool readPlainName(Token& name);
    // 1 after ">", 2 after "/>", 0 (nothing read) for anything else.
    int readPlainTagEnd();
    bool readPlainOpen(Token& open);
    bool parseElement(XPxmlNode* node);
    bool parseContent(XPxmlNode* node);
    bool parseDocumentType(XPxmlNode* node);
    bool collectUntilClose(XPxmlNode* node, int code, const char* message, bool skipBlank);

    // Tells the document's progress how far the text is read, every
    // kReportEvery bytes; false, after failing, when it asks to stop.
    bool reportProgress();
    static constexpr size_t kReportEvery = size_t(64) << 10;

    int get();
    void stepBack() { --m_pos; }
    void rewind(const Token& token);
    // The first error stands: what fails after it only follows from it.
    void fail(int code, const std::string& message);
    void indexEntities(const XPxmlNode* documentType);

    XPxmlDoc& m_doc;
    const unsigned char* m_text;
    size_t m_length;
    size_t m_pos = 0;
    size_t m_nextReport = 0;
    int m_depth = 0;
    size_t m_expanded = 0; // bytes produced by declared entities so far
    // The entities of the document's first document type, the only ones that
    // expand. Their values are kept beside their names in the index, so that
    // a reference does not have to visit a node somewhere in the tree.
    XPxmlNameIndex m_entities;
    XPxmlAttributeFiller m_attributes; // of the element whose start tag is being read
    XPxmlSlab::Carver m_carver;        // the plain elements and their attributes, side by side
    bool m_abort = false;  // an error stops the whole load
    struct RecentName {
        uint8_t size = 0; // 0: nothing remembered
        uint64_t head = 0;
        uint64_t tail = 0;
        const char* common = nullptr;
    };
    RecentName m_recentNames[64];
    static constexpr size_t kNoClose = SIZE_MAX;
    size_t m_nextClose = 0; // where the first ">" after the position lies, or kNoClose
};
