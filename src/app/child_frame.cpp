#include "app/child_frame.h"

#include "app/command_icons.h"
#include "app/document_registry.h"
#include "app/zolva_view.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(DocumentRegistry& registry, CZolvaDoc& doc, QWidget* parent)
    : QMdiSubWindow(parent), m_registry(registry), m_doc(doc), m_view(new CZolvaView(doc))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    setWidget(m_view);
}

CChildFrame::~CChildFrame()
{
    // The view reads the document: it goes first.
    delete m_view;
    m_registry.viewDestroyed(this);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        m_registry.viewClosed(this);
}
