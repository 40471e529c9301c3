#include "xml/xpxml_parser.h"

#include "xml/work_progress.h"

#include "xml/xpxml_attribute_filler.h"
#include "xml/xpxml_common_names.h"
#include "xml/xpxml_doc.h"
#include "xml/xpxml_node.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <string_view>

namespace {

// Bytes below "!" as a signed char: control characters, the space and every
// byte from 0x80 up.
inline bool isBlank(int c)
{
    return static_cast<signed char>(c) < '!';
}

// Bytes that end a text token outside quotes: blanks, < ' = > / " and &.
struct UnquotedEnds {
    bool table[256];
    constexpr UnquotedEnds() : table()
    {
        for (int c = 0; c < 256; ++c)
            table[c] = static_cast<signed char>(c) < '!' || c == '<' || c == '\'' || c == '=' || c == '>' ||
                       c == '/' || c == '"' || c == '&';
    }
};
constexpr UnquotedEnds kUnquotedEnds;

// Bytes a plain attribute value stops at: either quote, "&" and line breaks.
struct ValueStops {
    bool table[256];
    constexpr ValueStops() : table()
    {
        table[int('"')] = table[int('\'')] = table[int('&')] = table[int('\r')] = table[int('\n')] = true;
    }
};
constexpr ValueStops kValueStops;

// The same inside a start tag known to end at a ">": that ">" bounds every
// scan, so none needs to check for the end of the input. A ">" inside a
// value sends the tag to the general path.
struct TagValueStops {
    bool table[256];
    constexpr TagValueStops() : table()
    {
        for (int c = 0; c < 256; ++c)
            table[c] = kValueStops.table[c] || c == '>';
    }
};
constexpr TagValueStops kTagValueStops;

inline bool endsText(int c, char quoted)
{
    if (!quoted)
        return kUnquotedEnds.table[c];
    return c == '"' || c == '&' || c == quoted;
}

inline bool endsEntity(int c)
{
    return isBlank(c) || c == '<' || c == '>' || c == ']' || c == '!' || c == '?' || c == '/';
}

bool hasNonBlank(std::string_view text)
{
    for (char c : text)
        if (!isBlank(static_cast<unsigned char>(c)))
            return true;
    return false;
}

bool startsWithFolded(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'a' && a <= 'z')
            a = char(a - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

struct EntityRow {
    const char* entity;
    char character;
};

constexpr EntityRow kEntities[] = {
    {"&amp;", '&'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}, {"&nbsp;", ' '}, {"&quot;", '"'},
};

std::string format(const char* pattern, std::string_view a, std::string_view b = {})
{
    std::string out;
    int argument = 0;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += argument++ == 0 ? a : b;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

// Counts nesting on the way down and back up, so deep input fails cleanly
// instead of overflowing the stack.
struct DepthGuard {
    explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    int& m_depth;
};

} // namespace

XPxmlParser::XPxmlParser(XPxmlDoc& doc, const char* text, size_t length)
    : m_doc(doc), m_text(reinterpret_cast<const unsigned char*>(text)), m_length(length)
{
}

int XPxmlParser::get()
{
    if (m_pos >= m_length)
        return -1;
    return m_text[m_pos++];
}

void XPxmlParser::rewind(const Token& token)
{
    if (m_abort)
        return;
    m_pos = token.start;
    m_doc.m_line = token.startLine;
}

void XPxmlParser::fail(int code, const std::string& message)
{
    if (m_abort)
        return;
    m_doc.setError(code, message);
    m_abort = true;
    m_length = 0; // nothing more is read after an error
}

bool XPxmlParser::readToken(Token& token, bool noEntities, bool skipBlank, char quoted)
{
    enum Phase { Start, AfterOpen, AfterSlash, InText, InEntity };
    Phase phase = Start;
    token.text.clear();
    token.kind = NoToken;
    token.allBlank = true;

    auto take = [&token](int c) {
        token.text += char(c);
        if (!isBlank(c))
            token.allBlank = false;
    };

    for (;;) {
        const int c = get();
        if (c < 0) {
            if (token.text.empty())
                return false;
            if (phase == AfterOpen)
                token.kind = OpenToken;
            else if (phase == InEntity)
                token.kind = TextToken; // cut off before its ";": literal text
            else
                token.kind = TextToken;
            return true;
        }
        if (c == '\r')
            continue;
        if (c == '\n') {
            ++m_doc.m_line;
            continue;
        }
        switch (phase) {
        case Start:
            if (skipBlank && isBlank(c)) {
                while (m_pos < m_length && isBlank(m_text[m_pos]))
                    if (m_text[m_pos++] == '\n')
                        ++m_doc.m_line;
                continue;
            }
            token.start = m_pos - 1;
            token.startLine = m_doc.m_line;
            take(c);
            if (c == '&' && !noEntities) {
                token.kind = EntityToken;
                phase = InEntity;
                continue;
            }
            if (!quoted) {
                if (c == '>') {
                    token.kind = CloseToken;
                    return true;
                }
                if (c == '<') {
                    phase = AfterOpen;
                    continue;
                }
                if (c == '/' || c == '?' || c == ']') {
                    phase = AfterSlash;
                    continue;
                }
            }
            token.kind = TextToken;
            if (endsText(c, quoted))
                return true; // a terminator on its own is a one-byte token
            phase = InText;
            continue;
        case AfterOpen:
            token.kind = OpenToken;
            if (c == '/' || c == '!' || c == '?')
                take(c);
            else
                stepBack();
            return true;
        case AfterSlash:
            if (c == '>') {
                take(c);
                token.kind = CloseToken;
                return true;
            }
            token.kind = TextToken;
            phase = InText;
            [[fallthrough]];
        case InText:
            if (endsText(c, quoted)) {
                stepBack();
                return true;
            }
            {
                // Take the plain run up to the next terminator or line break in one go.
                const size_t begin = m_pos - 1;
                size_t end = m_pos;
                while (end < m_length) {
                    const int d = m_text[end];
                    if (d == '\r' || d == '\n' || endsText(d, quoted))
                        break;
                    ++end;
                }
                const char* run = reinterpret_cast<const char*>(m_text) + begin;
                token.text.append(run, end - begin);
                for (size_t i = 0; token.allBlank && i < end - begin; ++i)
                    token.allBlank = isBlank(static_cast<unsigned char>(run[i]));
                m_pos = end;
            }
            continue;
        case InEntity:
            if (c == ';') {
                take(c);
                decodeEntity(token);
                return true;
            }
            if (endsEntity(c)) {
                stepBack();
                token.kind = TextToken; // an "&" without ";" stays literal
                return true;
            }
            {
                // The rest of the name up to its ";", a terminator or a line break in one go.
                size_t end = m_pos;
                while (end < m_length && m_text[end] != ';' && m_text[end] != '\r' && m_text[end] != '\n' &&
                       !endsEntity(m_text[end]))
                    ++end;
                token.text.append(reinterpret_cast<const char*>(m_text) + m_pos - 1, end - m_pos + 1);
                token.allBlank = false; // nothing in it is blank
                m_pos = end;
            }
            continue;
        }
    }
}

void XPxmlParser::decodeEntity(Token& token)
{
    std::string& text = token.text;
    if (text.size() > 1 && text[1] == '#') {
        // A decimal reference, cut to a byte; a hexadecimal one reads as 0 and
        // yields nothing, as does the zero byte itself.
        const long code = xpxmlLeadingInteger(text.c_str() + 2);
        const char byte = char(static_cast<unsigned char>(code & 0xFF));
        text.clear();
        if (byte != '\0')
            text += byte;
        return;
    }
    // The predefined ones are four to six bytes long; their second letter in
    // lower case rules out the rest at once.
    const char second = char(text[1] | 0x20);
    for (const EntityRow& row : kEntities) {
        if (row.entity[1] == second && xpxmlNameEquals(text.c_str(), row.entity)) {
            text.assign(1, row.character);
            return;
        }
    }
    // An undeclared name stands for itself.
    text.pop_back();
    text.erase(0, 1);
    std::string_view value;
    if (m_entities.find(text, &value) == XPxmlNameIndex::kAbsent)
        return;
    text = value;
    m_expanded += text.size();
    if (m_expanded > XPxmlDoc::kMaxEntityExpansion) {
        text.clear();
        fail(XPxmlError::EntityExpansionTooLarge,
             "Declared entities expand to more than " + std::to_string(XPxmlDoc::kMaxEntityExpansion >> 20) + " MB");
    }
}

void XPxmlParser::indexEntities(const XPxmlNode* documentType)
{
    for (uint32_t i = 0, n = documentType->childCount(); i < n; ++i) {
        const XPxmlNode* child = documentType->childAt(i);
        if (!child || child->kind() != XPxmlKind::Entity)
            continue;
        // A name declared again keeps its first value.
        m_entities.add(child->m_name.view(), child->textContent());
    }
}

bool XPxmlParser::readQuoted(std::string& value, bool noEntities, bool definition)
{
    value.clear();
    Token token;
    const bool read = readToken(token, noEntities, true, 0);
    const char quote = read && !token.text.empty() ? token.text[0] : '\0';
    if (quote != '"' && quote != '\'') {
        if (definition)
            fail(2312, "Definition not found parsing !ENTITY|!ELEMENT");
        else if (!read)
            fail(1895, "EOF reached while parsing quoted text");
        else
            fail(1886, format("Expected \" or ' but got %s", token.text));
        return false;
    }
    // Most values hold no entity, no other quote and no line break: they read
    // as one run up to the closing quote, exactly as the token loop would.
    for (size_t end = m_pos; end < m_length; ++end) {
        const unsigned char c = m_text[end];
        if (c == static_cast<unsigned char>(quote)) {
            value.assign(reinterpret_cast<const char*>(m_text) + m_pos, end - m_pos);
            m_pos = end + 1;
            return true;
        }
        if (c == '&' || c == '"' || c == '\r' || c == '\n')
            break;
    }
    for (;;) {
        if (!readToken(token, noEntities, false, quote)) {
            fail(1895, "EOF reached while parsing quoted text");
            return false;
        }
        if (token.kind == TextToken && !token.text.empty() && token.text[0] == quote)
            return true;
        value += token.text;
    }
}

std::unique_ptr<XPxmlNode> XPxmlParser::parseNode(const Token* alreadyRead)
{
    if (m_abort)
        return nullptr;
    m_doc.clearError();
    Token ownOpen;
    if (!alreadyRead && !readToken(ownOpen, false, true, 0))
        return nullptr;
    const Token& open = alreadyRead ? *alreadyRead : ownOpen;
    if (open.kind != OpenToken) {
        fail(2221, "Invalid data found while parsing tag opening.");
        return nullptr;
    }
    DepthGuard depth(m_depth);
    if (m_depth > XPxmlDoc::kMaxNesting) {
        fail(XPxmlError::NestingTooDeep,
             "Elements nested deeper than " + std::to_string(XPxmlDoc::kMaxNesting) + " levels");
        return nullptr;
    }

    std::unique_ptr<XPxmlNode> node(new (m_carver) XPxmlNode(XPxmlKind::Element));
    Token name;
    if (!readPlainName(name) && (!readToken(name, true, true, 0) || name.kind != TextToken)) {
        fail(2231, "Invalid data found while parsing tag name.");
        return nullptr;
    }

    // Open tokens are "<", "</", "<!" or "<?": the second byte tells them apart.
    const char second = open.text.size() > 1 ? open.text[1] : '\0';
    uint16_t kind = XPxmlKind::Element;
    if (second == '?') {
        kind = XPxmlKind::ProcessingInstruction;
    } else if (second == '!') {
        if (xpxmlNameEquals(name.text.c_str(), "ELEMENT")) {
            kind = XPxmlKind::ElementDeclaration;
        } else if (xpxmlNameEquals(name.text.c_str(), "ENTITY")) {
            kind = XPxmlKind::Entity;
        } else if (xpxmlNameEquals(name.text.c_str(), "NOTATION")) {
            kind = XPxmlKind::Notation;
        } else if (xpxmlNameEquals(name.text.c_str(), "DOCTYPE")) {
            kind = XPxmlKind::DocumentType;
        } else if (startsWithFolded(name.text, "--")) {
            kind = XPxmlKind::Comment;
            rewind(name); // the body begins with the two dashes
        } else if (startsWithFolded(name.text, "[CDATA[")) {
            kind = XPxmlKind::CDataSection;
            rewind(name); // the body begins behind those seven characters
            for (int taken = 0; taken < 7;) {
                const int c = get();
                if (c == '\n')
                    ++m_doc.m_line;
                else if (c != '\r')
                    ++taken;
            }
        } else {
            fail(2288, "Unknown node type found.");
            return nullptr;
        }
    } else if (second != '\0') {
        fail(2288, "Unknown node type found.");
        return nullptr;
    }
    node->m_kind = uint8_t(kind);
    node->m_name.assign(name.text);

    bool ok = true;
    switch (kind) {
    case XPxmlKind::Element:
        ok = parseElement(node.get());
        break;
    case XPxmlKind::ProcessingInstruction:
        ok = collectUntilClose(node.get(), 2384, "?> not found parsing PROCESSING INSTRUCTION", false);
        break;
    case XPxmlKind::Comment:
    case XPxmlKind::CDataSection: {
        const bool comment = kind == XPxmlKind::Comment;
        node->m_name.assign(comment ? "#comment" : "#cdata-section");
        const std::string_view end = comment ? "-->" : "]]>";
        std::string value;
        Token token;
        for (;;) {
            if (!readToken(token, !comment, false, 0)) {
                fail(comment ? 2360 : 2333, comment ? "--> not found parsing !--" : "]]> not found parsing ![CDATA[");
                return nullptr;
            }
            value += token.text;
            if (value.size() >= 3 && std::string_view(value).substr(value.size() - 3) == end)
                break;
        }
        // A comment keeps its dashes; a section drops its closing bytes.
        value.erase(value.size() - (comment ? 1 : 3));
        node->m_value.assign(value);
        break;
    }
    case XPxmlKind::Entity:
    case XPxmlKind::ElementDeclaration: {
        Token token;
        if (readToken(token, false, true, 0))
            node->m_name.assign(token.text);
        std::string value;
        if (!readQuoted(value, false, true))
            return nullptr;
        node->m_value.assign(value);
        if (!readToken(token, true, true, 0) || token.text.empty() || token.text[0] != '>') {
            fail(2319, "Closing > not found parsing !ENTITY|!ELEMENT");
            return nullptr;
        }
        break;
    }
    case XPxmlKind::DocumentType:
        ok = parseDocumentType(node.get());
        break;
    case XPxmlKind::Notation: {
        Token token;
        if (readToken(token, false, true, 0))
            node->m_name.assign(token.text);
        ok = collectUntilClose(node.get(), 2413, "Closing not found parsing !NOTATION", true);
        break;
    }
    }
    if (!ok || m_abort)
        return nullptr;
    return node;
}

bool XPxmlParser::collectUntilClose(XPxmlNode* node, int code, const char* message, bool skipBlank)
{
    std::string value;
    Token token;
    for (;;) {
        if (!readToken(token, false, skipBlank, 0)) {
            fail(code, message);
            return false;
        }
        if (token.kind == CloseToken)
            break;
        value += token.text;
    }
    node->m_value.assign(value);
    return true;
}

inline const char* XPxmlParser::commonNameOf(std::string_view name)
{
    // The same few names come again and again: a remembered spelling costs
    // three compares, where the shared table would hash and compare bytes.
    const size_t n = name.size();
    if (n < 4 || n > 16)
        return xpxmlCommonName(name, false);
    // Two overlapping loads from each end tell apart any two texts of one length.
    uint64_t head = 0, tail = 0;
    if (n >= 8) {
        std::memcpy(&head, name.data(), 8);
        std::memcpy(&tail, name.data() + n - 8, 8);
    } else {
        std::memcpy(&head, name.data(), 4);
        std::memcpy(&tail, name.data() + n - 4, 4);
    }
    RecentName& recent = m_recentNames[((head ^ tail) * 0x9E3779B97F4A7C15u + n) >> 58];
    if (recent.size == n && recent.head == head && recent.tail == tail)
        return recent.common;
    recent = {uint8_t(n), head, tail, xpxmlCommonName(name, false)};
    return recent.common;
}

namespace {

// The first byte from p that stops is in table; four at a time, as the loop
// costs more than the look-ups. Every read is of a byte before the stop.
inline const unsigned char* scanTo(const bool (&stops)[256], const unsigned char* p)
{
    for (;; p += 4) {
        if (stops[p[0]])
            return p;
        if (stops[p[1]])
            return p + 1;
        if (stops[p[2]])
            return p + 2;
        if (stops[p[3]])
            return p + 3;
    }
}

// Skips blanks, counting line breaks; stops at the tag's ">" at the latest.
inline const unsigned char* skipTagBlanks(const unsigned char* p, long& line)
{
    if (!isBlank(*p))
        return p;
    for (; isBlank(*p); ++p)
        line += *p == '\n';
    return p;
}

// name="value" inside a start tag that ends at a ">" somewhere ahead of p;
// nullptr for anything else (an entity, a line break inside a name or value,
// a missing "="), which the token-by-token path then reads as it would have
// anyway.
const unsigned char* scanTagAttribute(const unsigned char* p, long& line, std::string_view& name,
                                      std::string_view& value)
{
    p = skipTagBlanks(p, line);
    const unsigned char* nameBegin = p;
    if (*p == '?' || *p == ']')
        return nullptr;
    p = scanTo(kUnquotedEnds.table, p);
    if (p == nameBegin || *p == '\r' || *p == '\n')
        return nullptr;
    name = {reinterpret_cast<const char*>(nameBegin), size_t(p - nameBegin)};
    p = skipTagBlanks(p, line);
    if (*p != '=')
        return nullptr;
    p = skipTagBlanks(p + 1, line);
    const unsigned char quote = *p;
    if (quote != '"' && quote != '\'')
        return nullptr;
    const unsigned char* valueBegin = ++p;
    for (;; ++p) {
        p = scanTo(kTagValueStops.table, p);
        if (*p == quote)
            break;
        if (*p != '\'')
            return nullptr; // an entity, a line break, a ">" or a double quote inside single ones
    }
    value = {reinterpret_cast<const char*>(valueBegin), size_t(p - valueBegin)};
    return p + 1;
}

} // namespace

bool XPxmlParser::closeAhead(size_t from)
{
    // Remembered: the ">" found is the first one after any position up to
    // it, so the input is searched once in all.
    if (m_nextClose == kNoClose)
        return false;
    if (m_nextClose >= from)
        return true;
    const void* close = from < m_length ? std::memchr(m_text + from, '>', m_length - from) : nullptr;
    m_nextClose = close ? size_t(static_cast<const unsigned char*>(close) - m_text) : kNoClose;
    return close != nullptr;
}

bool XPxmlParser::readPlainAttribute()
{
    if (!closeAhead(m_pos))
        return false;
    std::string_view name, value;
    long line = m_doc.m_line;
    const unsigned char* end = scanTagAttribute(m_text + m_pos, line, name, value);
    if (!end)
        return false;
    m_pos = size_t(end - m_text);
    m_doc.m_line = line;
    m_attributes.append(name, value, true);
    return true;
}

XPxmlParser::PlainChild XPxmlParser::parsePlainChild(XPxmlNode* parent)
{
    // An element child in the shape the writer produces: "<", a plain name,
    // plain attributes and "/>" or ">". Read straight into the node; anything
    // else leaves the input untouched for parseNode.
    if (m_depth >= XPxmlDoc::kMaxNesting || m_pos + 1 >= m_length || m_text[m_pos] != '<')
        return PlainChild::NotPlain;
    const unsigned char* p = m_text + m_pos + 1;
    const unsigned char* nameBegin = p;
    if (*p == '?' || *p == ']' || *p == '/' || *p == '!' || kUnquotedEnds.table[*p])
        return PlainChild::NotPlain;
    if (!closeAhead(m_pos + 1))
        return PlainChild::NotPlain;
    p = scanTo(kUnquotedEnds.table, p);
    if (p == nameBegin || *p == '\r' || *p == '\n')
        return PlainChild::NotPlain;
    const std::string_view name(reinterpret_cast<const char*>(nameBegin), size_t(p - nameBegin));

    // Left unset: only the first count are ever read.
    union Texts {
        Texts() {}
        std::string_view at[kPlainAttributes];
    } names, values;
    const char* commons[kPlainAttributes];
    uint32_t count = 0;
    long line = m_doc.m_line;
    bool empty = false;
    for (;;) {
        long blankLine = line;
        const unsigned char* q = skipTagBlanks(p, blankLine);
        if (*q == '>' || (*q == '/' && q[1] == '>')) {
            empty = *q == '/';
            p = q + (empty ? 2 : 1);
            line = blankLine;
            break;
        }
        std::string_view attributeName, value;
        p = scanTagAttribute(p, line, attributeName, value);
        if (!p)
            return PlainChild::NotPlain;
        const char* common = commonNameOf(attributeName);
        // A name given again, in any case, keeps its place and takes the new value.
        uint32_t same = 0;
        for (; same < count; ++same)
            if (common && commons[same] ? common == commons[same] : xpxmlNameEquals(names.at[same], attributeName))
                break;
        if (same < count) {
            values.at[same] = value;
            continue;
        }
        if (count == kPlainAttributes)
            return PlainChild::NotPlain;
        names.at[count] = attributeName;
        values.at[count] = value;
        commons[count++] = common;
    }

    std::unique_ptr<XPxmlNode> child(new (m_carver) XPxmlNode(XPxmlKind::Element));
    child->m_name.assign(name);
    if (count)
        child->m_attributes.store(XPxmlAttributeStore::make(names.at, values.at, count, commons, &m_carver),
                                  std::memory_order_relaxed);
    m_pos = size_t(p - m_text);
    m_doc.m_line = line;
    if (!empty) {
        DepthGuard depth(m_depth);
        if (!parseContent(child.get()))
            return PlainChild::Failed;
    }
    parent->appendChildUnshared(std::move(child));
    return PlainChild::Parsed;
}

// The fast paths below read the shapes a written file is made of straight
// from the input. Each takes only input that the token loop would read the
// same way, and leaves anything else untouched for it.

bool XPxmlParser::readPlainName(Token& name)
{
    size_t p = m_pos;
    while (p < m_length && !kUnquotedEnds.table[m_text[p]])
        ++p;
    // A line break would be skipped inside the name; "?" and "]" may start a close token.
    if (p == m_pos || p >= m_length || m_text[p] == '\r' || m_text[p] == '\n' || m_text[m_pos] == '?' ||
        m_text[m_pos] == ']')
        return false;
    name.kind = TextToken;
    name.start = m_pos;
    name.startLine = m_doc.m_line;
    name.allBlank = false;
    name.text.assign(reinterpret_cast<const char*>(m_text) + m_pos, p - m_pos);
    m_pos = p;
    return true;
}

int XPxmlParser::readPlainTagEnd()
{
    size_t p = m_pos;
    long line = m_doc.m_line;
    for (; p < m_length && isBlank(m_text[p]); ++p)
        if (m_text[p] == '\n')
            ++line;
    int end = 0;
    if (p < m_length && m_text[p] == '>')
        end = 1;
    else if (p + 1 < m_length && m_text[p] == '/' && m_text[p + 1] == '>')
        end = 2;
    if (end) {
        m_pos = p + size_t(end);
        m_doc.m_line = line;
    }
    return end;
}

bool XPxmlParser::readPlainOpen(Token& open)
{
    if (m_pos + 1 >= m_length || m_text[m_pos] != '<')
        return false;
    const unsigned char next = m_text[m_pos + 1];
    if (next == '/' || next == '!' || next == '?' || next == '\r' || next == '\n')
        return false;
    open.kind = OpenToken;
    open.start = m_pos;
    open.startLine = m_doc.m_line;
    open.allBlank = false;
    open.text.assign(1, '<');
    ++m_pos;
    return true;
}

bool XPxmlParser::parseElement(XPxmlNode* node)
{
    Token token;
    Token equals;
    std::string value;
    for (;;) {
        if (readPlainAttribute())
            continue;
        if (const int end = readPlainTagEnd()) {
            m_attributes.fill(*node);
            return end == 2 || parseContent(node);
        }
        if (!readToken(token, false, true, 0)) {
            fail(2435, "Error parsing NODE attribute name");
            return false;
        }
        if (token.kind == CloseToken) {
            m_attributes.fill(*node); // before the children, which use the filler too
            if (token.text.size() == 2 && token.text[0] == '/')
                return true; // "/>": an empty element
            return parseContent(node);
        }
        if (!readToken(equals, false, true, 0)) {
            fail(2445, "= not found parsing NODE attribute");
            return false;
        }
        if (equals.text != "=") {
            fail(2449, "Didn't find '=' in attribute declaration.");
            return false;
        }
        if (!readQuoted(value, false))
            return false;
        m_attributes.append(token.text, value, false);
    }
}

bool XPxmlParser::parseContent(XPxmlNode* node)
{
    std::string collected;
    bool pendingText = false;
    Token token;
    auto appendText = [this, node](const std::string& text) {
        std::unique_ptr<XPxmlNode> textNode(new (m_carver) XPxmlNode(XPxmlKind::Text));
        textNode->m_name.assign("#text");
        textNode->m_value.assign(text);
        node->appendChildUnshared(std::move(textNode));
    };
    for (;;) {
        if (m_pos >= m_nextReport && !reportProgress())
            return false;
        if (!pendingText) {
            // Blanks up to the next tag are dropped whatever the tag; before
            // anything else they stay in front of the text. Either way the run
            // is taken whole: blank by blank, each would scan the rest again.
            size_t p = m_pos;
            long line = m_doc.m_line;
            for (; p < m_length && isBlank(m_text[p]); ++p)
                if (m_text[p] == '\n')
                    ++line;
            if (p < m_length && m_text[p] == '<') {
                collected.clear();
            } else {
                for (size_t i = m_pos; i < p; ++i)
                    if (m_text[i] != '\r' && m_text[i] != '\n') // line breaks are never text
                        collected += char(m_text[i]);
            }
            m_pos = p;
            m_doc.m_line = line;
        }
        if (!pendingText) {
            const PlainChild plain = parsePlainChild(node);
            if (plain == PlainChild::Parsed)
                continue;
            if (plain == PlainChild::Failed)
                return false;
        }
        // A child's "<" straight from the input, anything else as a token.
        const bool plainOpen = !pendingText && readPlainOpen(token);
        if (!plainOpen && !readToken(token, false, false, 0)) {
            fail(2473, "Error parsing NODE data");
            return false;
        }
        if (token.kind == OpenToken && token.text.size() == 2 && token.text[1] == '/') {
            if (hasNonBlank(collected))
                appendText(collected);
            Token endName;
            readToken(endName, false, true, 0);
            if (m_abort)
                return false;
            if (!xpxmlNameEquals(endName.text.c_str(), node->name())) {
                fail(2521, format("Open/Closing tag mismatch %s != %s", endName.text, node->name()));
                return false;
            }
            readToken(endName, false, true, 0); // the closing ">", unchecked
            return !m_abort;
        }
        if (token.kind == OpenToken) {
            // Text before a child becomes a node; blanks alone are dropped.
            if (pendingText)
                appendText(collected);
            collected.clear();
            pendingText = false;
            std::unique_ptr<XPxmlNode> child = parseNode(&token);
            if (m_abort)
                return false;
            if (child)
                node->appendChildUnshared(std::move(child));
            continue;
        }
        collected += token.text;
        if (!token.allBlank)
            pendingText = true;
    }
}

bool XPxmlParser::parseDocumentType(XPxmlNode* node)
{
    Token token;
    if (readToken(token, false, true, 0))
        node->m_name.assign(token.text);
    // The external part up to and including "[" of the internal subset. A
    // declaration without a subset ends at its ">".
    std::string value;
    for (;;) {
        if (!readToken(token, false, false, 0)) {
            fail(XPxmlError::DoctypeNotClosed, "]> not found parsing !DOCTYPE");
            return false;
        }
        if (token.kind == CloseToken) {
            node->m_value.assign(value);
            return true;
        }
        value += token.text;
        if (!value.empty() && value.back() == '[')
            break;
    }
    node->m_value.assign(value);
    for (;;) {
        if (!readToken(token, false, true, 0)) {
            fail(XPxmlError::DoctypeNotClosed, "]> not found parsing !DOCTYPE");
            return false;
        }
        if (token.kind == CloseToken)
            return true;
        rewind(token);
        std::unique_ptr<XPxmlNode> child = parseNode();
        if (m_abort)
            return false;
        if (child)
            node->appendChildUnshared(std::move(child));
    }
}

void XPxmlParser::parseTopLevel()
{
    XPxmlNode* docNode = m_doc.documentNode();
    bool documentTypeSeen = false;
    while (std::unique_ptr<XPxmlNode> node = parseNode()) {
        switch (node->kind()) {
        case XPxmlKind::Element:
            if (m_doc.rootElement()) {
                fail(2801, format("Load unable to add another root node (%s) to document", node->name()));
                break;
            }
            docNode->appendParsedChild(std::move(node));
            break;
        case XPxmlKind::ProcessingInstruction:
        case XPxmlKind::Comment:
            docNode->appendParsedChild(std::move(node));
            break;
        case XPxmlKind::DocumentType: {
            const XPxmlNode* documentType = docNode->appendParsedChild(std::move(node));
            if (!documentTypeSeen)
                indexEntities(documentType);
            documentTypeSeen = true;
            break;
        }
        case XPxmlKind::ElementDeclaration:
            break;
        default:
            fail(2826, format("Invalid node type encountered at top level. Type: %s NodeName: %s",
                              node->kindName(), node->name()));
            break;
        }
        if (m_doc.errorCode() != 0)
            break;
    }
}

bool XPxmlParser::reportProgress()
{
    WorkProgress* progress = m_doc.m_progress;
    if (!progress) {
        m_nextReport = SIZE_MAX;
        return true;
    }
    m_nextReport = m_pos + kReportEvery;
    progress->total = m_length;
    progress->done = m_pos;
    if (!progress->cancelled)
        return true;
    fail(XPxmlError::Cancelled, "Cancelled.");
    return false;
}

int XPxmlParser::load()
{
    m_doc.m_loading = true;
    XPxmlNode* docNode = m_doc.documentNode();
    docNode->removeAllChildren();
    docNode->removeAllAttributes();
    m_doc.m_line = 1;
    m_doc.clearError();
    try {
        parseTopLevel();
    } catch (...) {
        // Out of memory part way: no half-read tree stays behind.
        docNode->removeAllChildren();
        m_doc.m_loading = false;
        throw;
    }
    m_doc.m_loading = false;
    return m_doc.errorCode();
}

int XPxmlDoc::loadText(const char* text, size_t length)
{
    clearError();
    if (!text)
        length = 0;
    else if (const void* zero = std::memchr(text, '\0', length))
        length = size_t(static_cast<const char*>(zero) - text);
    XPxmlParser parser(*this, text, length);
    return parser.load();
}
