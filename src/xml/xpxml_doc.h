#pragma once

#include "xml/xpxml_node.h"

#include <cstddef>
#include <string>

// Error codes of the library that are not message-specific.
namespace XPxmlError {
inline constexpr int None = 0;
inline constexpr int NoNodeName = 2910;         // writer: "No node name."
inline constexpr int NestingTooDeep = 2480;     // parser: nesting limit reached
inline constexpr int EntityExpansionTooLarge = 2481;
inline constexpr int DoctypeNotClosed = 2395;
inline constexpr int Cancelled = 2482;          // parser: the progress asked to stop
} // namespace XPxmlError

// An XML document: owns its document node ("#document") and therefore the whole
// tree, and keeps the error state of the last operation, the modified flags
// and the ignore prefix of working names.
class XPxmlDocumentNode;
struct WorkProgress;

class XPxmlDoc {
public:
    static constexpr int kMaxNesting = 1000;       // elements inside elements
    static constexpr size_t kMaxEntityExpansion = size_t(64) << 20; // bytes per load

    XPxmlDoc();
    ~XPxmlDoc();
    XPxmlDoc(const XPxmlDoc&) = delete;
    XPxmlDoc& operator=(const XPxmlDoc&) = delete;

    XPxmlNode* documentNode() const;
    // The first element child of the document node, or nullptr.
    XPxmlNode* rootElement() const;
    // The first element in document order (from the root) named name, or nullptr.
    XPxmlNode* findElement(const char* name);
    // Whether any element reachable from the root is flagged modified.
    bool isModified() const;
    void clearModified();

    // Parses zero-terminated text into the tree, replacing what was there.
    // Returns the error code: 0 for success. Out of memory, std::bad_alloc
    // comes through and the tree is left empty.
    int loadText(const char* text);
    // The same over length bytes (reading stops early at a zero byte).
    int loadText(const char* text, size_t length);

    int errorCode() const { return m_errorCode; }
    const char* errorText() const { return m_errorText.c_str(); }
    // Replaces the error state; while loading, the text gets the line prefix.
    void setError(int code, const std::string& message);
    void clearError();

    long line() const { return m_line; }
    bool isLoading() const { return m_loading; }
    // Where loads report how far they have read and look whether to stop
    // (then failing with XPxmlError::Cancelled); null for none.
    void setProgress(WorkProgress* progress) { m_progress = progress; }

    void setIgnorePrefix(const char* prefix);
    const char* ignorePrefix() const { return m_ignorePrefix.c_str(); }
    // True when the prefix is set and name begins with it (case-sensitive).
    bool hasIgnorePrefix(const char* name) const;

    // Document-order walk over elements below and including the root:
    // the element after current, or nullptr at the end.
    XPxmlNode* nextInDocumentOrder(XPxmlNode* current) const;

private:
    friend class XPxmlParser;
    // nextInDocumentOrder with the root looked up once for a whole walk.
    static XPxmlNode* nextBelow(XPxmlNode* current, const XPxmlNode* root);
    static constexpr size_t kMaxErrorText = 8191;
    static constexpr size_t kMaxIgnorePrefix = 255;

    XPxmlDocumentNode* m_documentNode;
    XPxmlNode* m_walkPosition = nullptr;
    long m_line = 0;
    int m_errorCode = 0;
    bool m_loading = false;
    WorkProgress* m_progress = nullptr;
    std::string m_errorText;
    std::string m_ignorePrefix;
};
