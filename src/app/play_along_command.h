#pragma once

#include "listen/play_along.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class CMainFrame;
class CZolvaView;
class Listening;
class MessageSink;
class XPxmlNode;

// Practice > Play Along: the player plays the active piece on their own
// kalimba and the cursor waits at each row (repeats followed as Play
// follows them) until the microphone has heard its tines; the program
// sounds nothing. A tine the row does not hold is named in the status bar
// as a wrong note. At the end, or when turned off, a summary.
class PlayAlongCommand : public QObject {
    Q_OBJECT
public:
    PlayAlongCommand(CMainFrame& frame, Listening& listening, MessageSink& messages);

private:
    void turn(bool on);
    bool begin();
    void hear(const std::vector<int>& tines, int64_t micros);
    void finish();

    CMainFrame& m_frame;
    Listening& m_listening;
    MessageSink& m_messages;
    QPointer<CZolvaView> m_view; // gone when its window closes
    std::vector<XPxmlNode*> m_rows; // the elements waited at, in playing order
    std::unique_ptr<PlayAlong> m_along;
};
