#pragma once

#include "app/url_opener.h"

#include <QMainWindow>

class CZolvaDoc;
class MessageSink;
class MidiSession;
class QAction;
class QMdiArea;
class QMenu;

// The main window: one multiple-document area that holds the document windows.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    // Puts MIDI Setup into the menus; until the full menus exist it has one of its own.
    void addMidiSetup(MidiSession& midi);
    // Edit > Author Info and the Help menu (About, Online Documentation,
    // License). Addresses go through opener; messages through messages.
    void addInformationCommands(MessageSink& messages, UrlOpener opener);
    // The document Author Info shows; null (no document window) disables it.
    void setActiveDocument(CZolvaDoc* doc);

    // The action of a command id, or null.
    QAction* commandAction(int id) const;

private:
    QAction* addCommand(QMenu* menu, int id, const QString& text, const QString& prompt, const QString& tip);

    QMdiArea* m_mdiArea;
    CZolvaDoc* m_activeDocument = nullptr;
};
