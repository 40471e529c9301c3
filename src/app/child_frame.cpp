#include "app/child_frame.h"

#include "app/command_icons.h"
#include "app/zolva_view.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CZolvaDoc& doc, QWidget* parent)
    : QMdiSubWindow(parent), m_doc(doc), m_view(new CZolvaView(doc))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    setWidget(m_view);
}

CChildFrame::~CChildFrame()
{
    // The view reads the document: it goes first.
    delete m_view;
    emit deleting(this);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        emit closing(this);
}
