#include "app/mainframe.h"

#include "play/midi_config_dlg.h"

#include <QMdiArea>
#include <QMenuBar>

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setWindowTitle(QStringLiteral("Zolva Reader"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    resize(900, 700);
}

void CMainFrame::addMidiSetup(MidiSession& midi)
{
    QAction* setup = menuBar()->addMenu(QStringLiteral("&Options"))->addAction(QStringLiteral("MIDI Setup..."));
    setup->setStatusTip(QStringLiteral("MIDI Setup"));
    setup->setToolTip(QStringLiteral("MIDI Setup"));
    setup->setData(kMidiSetupCommand);
    connect(setup, &QAction::triggered, this, [this, &midi] { OnMidiSetup(midi, this); });
}
