#pragma once

#include <QMdiSubWindow>

class CZolvaDoc;
class CZolvaView;

// The window of one view of a document inside the main window. It says when
// it closes and, once its view is gone, when it is being deleted (later than
// the closing), so that whoever keeps the windows can let the document go
// with its last view.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(CZolvaDoc& doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CZolvaDoc& document() const { return m_doc; }
    CZolvaView* view() const { return m_view; }

signals:
    void closing(CChildFrame* frame);
    // From the destructor, after the view: the frame may still be asked for its document.
    void deleting(CChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CZolvaDoc& m_doc;
    CZolvaView* m_view;
};
