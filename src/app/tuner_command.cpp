#include "app/tuner_command.h"

#include "app/child_frame.h"
#include "app/command_table.h"
#include "app/listening.h"
#include "app/mainframe.h"
#include "app/tuner_panel.h"
#include "app/zolva_view.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>

TunerCommand::TunerCommand(CMainFrame& frame, SoundInputs& inputs, MessageSink& messages)
    : m_frame(frame), m_messages(messages), m_listening(new Listening(inputs, this)),
      m_panel(new TunerPanel(&frame)), m_indicator(new QLabel(QStringLiteral("● Listening")))
{
    frame.addDockWidget(Qt::RightDockWidgetArea, m_panel);
    m_panel->hide();
    m_indicator->setObjectName(QStringLiteral("listening"));
    m_indicator->setStyleSheet(QStringLiteral("color: #C02020"));
    m_indicator->setToolTip(QStringLiteral("The microphone is open: the program is listening"));
    frame.statusBar()->addPermanentWidget(m_indicator);
    m_indicator->hide();

    QAction* action = frame.commandAction(cmd::Tuner);
    connect(action, &QAction::toggled, this, &TunerCommand::turn);
    connect(m_panel, &TunerPanel::closed, action, [action] { action->setChecked(false); });
    connect(m_panel, &TunerPanel::tuningChanged, this, [this] { m_listening->setTuning(m_panel->tuning()); });
    connect(m_listening, &Listening::tunerRead, m_panel, &TunerPanel::showReading);
    connect(m_listening, &Listening::listeningChanged, m_indicator, &QWidget::setVisible);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &TunerCommand::followActiveDocument);
}

TunerCommand::~TunerCommand()
{
    m_listening->stop();
}

void TunerCommand::turn(bool on)
{
    if (!on) {
        m_listening->stop();
        m_panel->hide();
        return;
    }
    // One listener at a time: playing along gives way.
    m_frame.commandAction(cmd::PlayAlong)->setChecked(false);
    followActiveDocument();
    m_panel->show();
    if (!m_listening->startTuner(m_panel->tuning())) {
        m_messages.showMessage("Unable to open the sound input for listening.\n");
        m_frame.commandAction(cmd::Tuner)->setChecked(false);
    }
}

void TunerCommand::followActiveDocument()
{
    CChildFrame* child = m_frame.activeChild();
    if (!child || !child->view())
        return;
    const auto& keys = child->view()->layout().options().tineKeys;
    const int count = std::clamp(child->view()->document().tineCount(), 0, int(keys.size()));
    const std::vector<int> tines(keys.begin(), keys.begin() + count);
    if (tines == m_panel->tuning().keys)
        return;
    m_panel->setTuning(tines);
    if (m_listening->isListening())
        m_listening->setTuning(m_panel->tuning());
}
