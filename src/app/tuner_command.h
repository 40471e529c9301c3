#pragma once

#include <QObject>

class CMainFrame;
class Listening;
class MessageSink;
class QLabel;
class SoundInputs;
class TunerPanel;

// Practice > Tuner: the panel at the main window's side, the microphone open
// while it shows, the tines of the active document, and "Listening" in the
// status bar while the microphone is open.
class TunerCommand : public QObject {
    Q_OBJECT
public:
    TunerCommand(CMainFrame& frame, SoundInputs& inputs, MessageSink& messages);
    ~TunerCommand() override;

    TunerPanel* panel() const { return m_panel; }
    Listening* listening() const { return m_listening; }

private:
    void turn(bool on);
    // The active document's tines into the panel and the listening.
    void followActiveDocument();

    CMainFrame& m_frame;
    MessageSink& m_messages;
    Listening* m_listening;
    TunerPanel* m_panel;
    QLabel* m_indicator;
};
