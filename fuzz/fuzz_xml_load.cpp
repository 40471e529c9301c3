// Feeds arbitrary bytes to the XML loader and exercises what a loaded tree
// offers: the document-order walks and the writer.
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
        XPxmlDoc again;
        again.loadText(text.c_str());
        (void)doc.findElement("Notes");
        XPxmlNode* copy = root->clone(true);
        delete copy;
    }
    doc.clearModified();
    return 0;
}
