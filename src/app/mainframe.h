#pragma once

#include <QMainWindow>

class MidiSession;
class QMdiArea;

// The main window: one multiple-document area that holds the document windows.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    // Puts MIDI Setup into the menus; until the full menus exist it has one of its own.
    void addMidiSetup(MidiSession& midi);

private:
    QMdiArea* m_mdiArea;
};
