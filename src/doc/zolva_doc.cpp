#include "doc/zolva_doc.h"

#include "doc/deferred_messages.h"
#include "doc/message_sink.h"
#include "doc/music_loader.h"
#include "doc/music_vocabulary.h"
#include "xml/xpxml_node.h"

#include <QFile>
#include <QFileInfo>

#include <memory>
#include <new>

namespace {

// The first child of any kind with that name. Steps sibling by sibling so that
// it leaves the child list's cursor alone for a walk that may be under way.
XPxmlNode* childNamed(const XPxmlNode* parent, const char* name)
{
    if (!parent)
        return nullptr;
    for (XPxmlNode* child = parent->childAt(0); child; child = child->nextSibling())
        if (xpxmlNameEquals(child->name(), name))
            return child;
    return nullptr;
}

XPxmlNode* lastElementChild(const XPxmlNode* parent)
{
    const uint32_t count = parent->childCount();
    XPxmlNode* child = count > 0 ? parent->childAt(count - 1) : nullptr;
    while (child && child->kind() != XPxmlKind::Element)
        child = child->prevSibling();
    return child;
}

} // namespace

CZolvaDoc::CZolvaDoc(MessageSink& messages, QObject* parent)
    : QObject(parent), m_messages(messages)
{
    m_tree.setIgnorePrefix(MusicAttr::WorkingPrefix);
}

CZolvaDoc::~CZolvaDoc() = default;

OpenOutcome CZolvaDoc::openDocument(const QString& path)
{
    m_path = path;
    try {
        const std::string file = QFile::encodeName(path).toStdString();
        // Only the tree is touched while the file is read, so the reading may
        // run elsewhere; its messages wait for it.
        DeferredMessages messages;
        int result = 0;
        const bool read = m_load(QFileInfo(path).fileName(), [&](WorkProgress& progress) {
            m_tree.setProgress(&progress);
            result = loadMusicFile(m_tree, file, messages);
            m_tree.setProgress(nullptr);
        });
        if (!read) {
            m_tree.documentNode()->removeAllChildren();
            return OpenOutcome::Cancelled;
        }
        messages.showThrough(m_messages);
        if (result != 0)
            return OpenOutcome::Failed;
        if (!m_tree.rootElement()) {
            m_messages.showMessage(formatMessage("%s is not a Zolva music file.", file.c_str()));
            return OpenOutcome::Failed;
        }
        if (!completeDocument())
            return OpenOutcome::Failed;
        m_tree.clearModified();
        return OpenOutcome::Opened;
    } catch (const std::bad_alloc&) {
        outOfMemory();
        return OpenOutcome::Failed;
    }
}

bool CZolvaDoc::openBuiltTree(const QString& path)
{
    m_path = path;
    try {
        if (!m_tree.rootElement() || !completeDocument())
            return false;
        m_tree.clearModified();
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
    m_imported = true;
    return true;
}

bool CZolvaDoc::copyFrom(const CZolvaDoc& other)
{
    m_path = other.m_path;
    m_imported = other.m_imported;
    m_tree.documentNode()->removeAllChildren();
    try {
        if (const XPxmlNode* root = other.m_tree.rootElement()) {
            std::unique_ptr<XPxmlNode> copy(root->clone(true));
            if (m_tree.documentNode()->appendChild(copy.get()))
                copy.release();
        }
        // other was completed when it opened: this finds its cached elements.
        if (!m_tree.rootElement() || !completeDocument())
            return false;
        m_tree.clearModified();
        return true;
    } catch (const std::bad_alloc&) {
        m_tree.documentNode()->removeAllChildren();
        findCachedElements();
        return false;
    }
}

bool CZolvaDoc::outOfMemory()
{
    // A half-completed or half-upgraded tree goes, and with it the memory the message needs.
    m_tree.documentNode()->removeAllChildren();
    findCachedElements();
    m_messages.showMessage(outOfMemoryMessage(QFile::encodeName(m_path).toStdString()));
    return false;
}

XPxmlNode* CZolvaDoc::noteList() const
{
    return childNamed(m_tree.rootElement(), MusicElement::NoteList);
}

XPxmlNode* CZolvaDoc::firstEvent() const
{
    const XPxmlNode* list = noteList();
    return list ? list->firstElementChild() : nullptr;
}

XPxmlNode* CZolvaDoc::lastEvent() const
{
    const XPxmlNode* list = noteList();
    return list ? lastElementChild(list) : nullptr;
}

bool CZolvaDoc::insertEvent(XPxmlNode* reference, bool after, XPxmlNode* event)
{
    XPxmlNode* list = noteList();
    if (!list || !reference || !event || reference->parent() != list || reference == event)
        return false;
    if (!after)
        return list->insertBefore(event, reference) != 0;
    if (XPxmlNode* next = reference->nextSibling())
        return list->insertBefore(event, next) != 0;
    return list->appendChild(event) != 0;
}

void CZolvaDoc::setTitle(const QString& title)
{
    m_title = title;
    emit titleChanged(title);
}
