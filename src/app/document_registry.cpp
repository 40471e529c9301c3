#include "app/document_registry.h"

#include "app/child_frame.h"
#include "app/window_cascade.h"
#include "doc/message_sink.h"
#include "doc/music_loader.h"
#include "doc/zolva_doc.h"
#include "app/zolva_view.h"

#include <QFile>
#include <QFileInfo>
#include <QMdiArea>

#include <algorithm>
#include <new>

namespace {

void showOutOfMemory(MessageSink& messages, const QString& path)
{
    messages.showMessage(outOfMemoryMessage(QFile::encodeName(path).toStdString()));
}

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

DocumentRegistry::DocumentRegistry(MessageSink& messages, QMdiArea& area) : m_messages(messages), m_area(area) {}

DocumentRegistry::~DocumentRegistry()
{
    // Windows still open outlive nothing they read. Nobody listens any more.
    blockSignals(true);
    for (CChildFrame* frame : std::vector<CChildFrame*>(m_liveFrames))
        delete frame;
}

OpenResult DocumentRegistry::openDocument(const QString& path)
{
    OpenResult result;
    try {
        if (CZolvaDoc* open = findOpen(path)) {
            const std::vector<CChildFrame*> frames = viewsOf(*open);
            if (!frames.empty())
                m_area.setActiveSubWindow(frames.front());
            return OpenResult(OpenOutcome::Opened, open);
        }
        auto doc = std::make_unique<CZolvaDoc>(m_messages);
        doc->setBackgroundLoad(m_load);
        const std::optional<OpenResult> imported = m_import ? m_import(*doc, path) : std::nullopt;
        result = imported ? *imported : OpenResult{doc->openDocument(path)};
        if (result.outcome != OpenOutcome::Opened)
            return result;
        if (doc->title().isEmpty())
            doc->setTitle(QFileInfo(path).fileName() + (doc->isImported() ? QStringLiteral(" (imported)") : QString()));
        m_documents.push_back(std::move(doc));
    } catch (const std::bad_alloc&) {
        // The half-open document has gone with the stack.
        showOutOfMemory(m_messages, path);
        return {};
    }
    CZolvaDoc* doc = m_documents.back().get();
    // A document whose first window fails has gone with it.
    if (!addView(*doc))
        return {};
    result.document = doc;
    return result;
}

CChildFrame* DocumentRegistry::addView(CZolvaDoc& doc)
{
    const QString path = doc.pathName();
    CChildFrame* frame = nullptr;
    try {
        // Cascaded from the window opened last, where it still shows.
        std::optional<QPoint> previous;
        if (!m_frames.empty() && !m_frames.back()->isMinimized() && !m_frames.back()->isMaximized())
            previous = m_frames.back()->pos();
        frame = new CChildFrame(doc);
        connect(frame, &CChildFrame::closing, this, &DocumentRegistry::viewClosed);
        connect(frame, &CChildFrame::deleting, this, &DocumentRegistry::viewDestroyed);
        m_frames.push_back(frame);
        m_liveFrames.push_back(frame);
        // Queued: the main window's title is set after the area's own handling of the change.
        connect(frame, &QMdiSubWindow::windowStateChanged, this, &DocumentRegistry::changed, Qt::QueuedConnection);
        m_area.addSubWindow(frame);
        const WindowCascade cascade = cascadeIn(m_area, *frame);
        frame->setGeometry(QRect(cascade.placeAfter(previous), cascade.windowSize()));
        updateTitles(doc);
        frame->show();
        if (m_setUpView)
            m_setUpView(*frame->view());
        frame->view()->OnInitialUpdate();
        m_area.setActiveSubWindow(frame);
        emit changed();
        return frame;
    } catch (const std::bad_alloc&) {
        // The layout cut short may have moved some of the shared positions:
        // the document's other windows lay it out afresh.
        doc.setPositionsScale(0.0);
        if (frame) {
            // Closed while its view still stands, then deleted at once.
            viewClosed(frame);
            m_area.removeSubWindow(frame);
            delete frame;
        }
        // The document goes with its first window, also when memory ran out
        // before the window could tell of its going.
        dropIfViewless(&doc);
        showOutOfMemory(m_messages, path);
        return nullptr;
    }
}

std::vector<CChildFrame*> DocumentRegistry::viewsOf(const CZolvaDoc& doc) const
{
    std::vector<CChildFrame*> frames;
    for (CChildFrame* frame : m_frames) {
        if (&frame->document() == &doc)
            frames.push_back(frame);
    }
    return frames;
}

std::vector<CChildFrame*> DocumentRegistry::viewsByDocument() const
{
    std::vector<CChildFrame*> frames;
    for (const auto& doc : m_documents) {
        const std::vector<CChildFrame*> views = viewsOf(*doc);
        frames.insert(frames.end(), views.begin(), views.end());
    }
    return frames;
}

CChildFrame* DocumentRegistry::activeFrame() const
{
    return qobject_cast<CChildFrame*>(m_area.activeSubWindow());
}

int DocumentRegistry::documentCount() const
{
    return int(std::count_if(m_documents.begin(), m_documents.end(),
                             [this](const std::unique_ptr<CZolvaDoc>& doc) { return !viewsOf(*doc).empty(); }));
}

std::vector<const CZolvaDoc*> DocumentRegistry::documents() const
{
    std::vector<const CZolvaDoc*> open;
    for (const std::unique_ptr<CZolvaDoc>& doc : m_documents)
        if (!viewsOf(*doc).empty())
            open.push_back(doc.get());
    return open;
}

void DocumentRegistry::viewClosed(CChildFrame* frame)
{
    if (std::erase(m_frames, frame) == 0)
        return;
    updateTitles(frame->document());
    emit changed();
}

void DocumentRegistry::viewDestroyed(CChildFrame* frame)
{
    viewClosed(frame); // a window deleted without closing
    std::erase(m_liveFrames, frame);
    dropIfViewless(&frame->document());
}

void DocumentRegistry::dropIfViewless(const CZolvaDoc* doc)
{
    const bool viewLeft = std::any_of(m_liveFrames.begin(), m_liveFrames.end(),
                                      [doc](const CChildFrame* live) { return &live->document() == doc; });
    if (!viewLeft)
        std::erase_if(m_documents, [doc](const std::unique_ptr<CZolvaDoc>& open) { return open.get() == doc; });
}

CZolvaDoc* DocumentRegistry::findOpen(const QString& path) const
{
    const QString wanted = canonical(path);
    for (const auto& doc : m_documents) {
        // A document whose windows are all closing is as good as gone.
        if (canonical(doc->pathName()) == wanted && !viewsOf(*doc).empty())
            return doc.get();
    }
    return nullptr;
}

void DocumentRegistry::updateTitles(const CZolvaDoc& doc)
{
    // Several windows on one document are told apart by ":1", ":2" …
    const std::vector<CChildFrame*> frames = viewsOf(doc);
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i]->setWindowTitle(frames.size() == 1 ? doc.title()
                                                     : QStringLiteral("%1:%2").arg(doc.title()).arg(i + 1));
    }
}
