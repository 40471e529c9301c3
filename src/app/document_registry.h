#pragma once

#include "doc/background_load.h"
#include "doc/zolva_doc.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CChildFrame;
class CZolvaView;
class MessageSink;
class QMdiArea;

// What came of opening a file. The registry's result names the document it
// opened or brought to the front (null unless Opened).
struct OpenResult {
    OpenResult() = default;
    explicit OpenResult(OpenOutcome outcome, CZolvaDoc* document = nullptr, QString status = {})
        : outcome(outcome), document(document), status(std::move(status))
    {
    }

    OpenOutcome outcome = OpenOutcome::Failed;
    CZolvaDoc* document = nullptr;
    QString status; // what an import did, for the status bar
};

// The open documents and their windows. A document lives while it has a view;
// "New Window" adds a view, and closing its last view deletes the document.
// Documents are only read: closing one, modified or not, never writes its file.
class DocumentRegistry : public QObject {
    Q_OBJECT
public:
    DocumentRegistry(MessageSink& messages, QMdiArea& area);
    ~DocumentRegistry() override;

    // Opens path in a new window; a file already open gets its window brought
    // to the front instead. An imported file's title says so. Failed after
    // the loader's or the importer's message; out of memory at any step,
    // after "Out of memory loading PATH", with no document or window left.
    OpenResult openDocument(const QString& path);
    // Another window on doc, made active. Out of memory: null after the
    // message, the window gone, and doc too when it had no other window.
    CChildFrame* addView(CZolvaDoc& doc);
    // Tried on every file before it is loaded as a music file: it imports
    // the files of other kinds into the new document, and leaves a music
    // file (nullopt) to the document's own open.
    using Importer = std::function<std::optional<OpenResult>(CZolvaDoc& doc, const QString& path)>;
    void setImporter(Importer importer) { m_import = std::move(importer); }
    // How new documents read their files.
    void setBackgroundLoad(BackgroundLoad load) { m_load = std::move(load); }
    // Runs on every new view before its first update.
    void setViewSetup(std::function<void(CZolvaView&)> setup) { m_setUpView = std::move(setup); }

    // Documents with an open window.
    int documentCount() const;
    // Those documents, in the order they were opened.
    std::vector<const CZolvaDoc*> documents() const;
    // The windows of doc, oldest first.
    std::vector<CChildFrame*> viewsOf(const CZolvaDoc& doc) const;
    std::vector<CChildFrame*> allViews() const { return m_frames; }
    // Every window, document by document in the order they were opened.
    std::vector<CChildFrame*> viewsByDocument() const;
    CChildFrame* activeFrame() const;

signals:
    // A document or a window came, went or changed its state.
    void changed();

private:
    // A window closes, and again once its view is gone.
    void viewClosed(CChildFrame* frame);
    void viewDestroyed(CChildFrame* frame);
    CZolvaDoc* findOpen(const QString& path) const;
    // Deletes doc when no window of it is left.
    void dropIfViewless(const CZolvaDoc* doc);
    void updateTitles(const CZolvaDoc& doc);

    MessageSink& m_messages;
    QMdiArea& m_area;
    std::vector<std::unique_ptr<CZolvaDoc>> m_documents;
    std::vector<CChildFrame*> m_frames;     // open windows
    std::vector<CChildFrame*> m_liveFrames; // windows not yet deleted
    std::function<void(CZolvaView&)> m_setUpView;
    Importer m_import;
    BackgroundLoad m_load = loadInPlace;
};
