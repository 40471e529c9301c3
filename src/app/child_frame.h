#pragma once

#include <QMdiSubWindow>

class CZolvaDoc;
class CZolvaView;
class DocumentRegistry;

// The window of one view of a document inside the main window. Closing it
// takes it out of the registry's windows at once; it is deleted later, and
// tells the registry once its view is gone, so that the document can go with
// its last view.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(DocumentRegistry& registry, CZolvaDoc& doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CZolvaDoc& document() const { return m_doc; }
    CZolvaView* view() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    DocumentRegistry& m_registry;
    CZolvaDoc& m_doc;
    CZolvaView* m_view;
};
