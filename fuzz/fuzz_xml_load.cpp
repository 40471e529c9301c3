// Feeds arbitrary bytes to the XML loader and exercises what a loaded tree
// offers: the document-order walks, the writer, and attributes in both their
// forms, which must write the same text.
#include "xml/xpxml.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XPxmlDoc doc;
    doc.setIgnorePrefix("~");
    doc.loadText(reinterpret_cast<const char*>(data), size);
    (void)doc.isModified();
    if (XPxmlNode* root = doc.rootElement()) {
        std::string text = root->textContent();
        bool odd = false;
        for (XPxmlNode* element = root; element; element = doc.nextInDocumentOrder(element)) {
            element->setAttribute("~Pos", "1,2"); // working data: never written
            if ((odd = !odd))
                (void)element->attributes(); // the attributes become nodes
        }
        if (root->textContent() != text)
            __builtin_trap();
        XPxmlDoc again;
        again.loadText(text.c_str());
        (void)doc.findElement("Notes");
        XPxmlNode* copy = root->clone(true);
        delete copy;
    }
    doc.clearModified();
    return 0;
}
