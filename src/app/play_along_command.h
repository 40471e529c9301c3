#pragma once

#include "listen/play_along.h"
#include "listen/tempo_judge.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

class CMainFrame;
class CZolvaView;
class Listening;
class MessageSink;
struct PracticeControls;
class XPxmlNode;

// Practice > Play Along: the player plays the active piece on their own
// kalimba and the cursor waits at each row (repeats followed as Play
// follows them) until the microphone has heard its tines; the program
// sounds nothing. A tine the row does not hold is named in the status bar
// as a wrong note, and its lane flashes red. With Keep Tempo the cursor instead goes on at the
// playing speed from the first pluck, and each row is marked right, early,
// late or missed. At the end, or when turned off, a summary.
class PlayAlongCommand : public QObject {
    Q_OBJECT
public:
    PlayAlongCommand(CMainFrame& frame, Listening& listening, MessageSink& messages, const PracticeControls& practice);

private:
    void turn(bool on);
    bool begin();
    void hear(const std::vector<int>& tines, int64_t micros);
    void finish();
    // Keep Tempo: the cursor to the row due now, and the end after the last.
    void keepTime();
    void showRow(size_t row);
    // Tines heard that the rows played now do not hold: named and flashed.
    void showWrong(const std::vector<int>& tines);

    CMainFrame& m_frame;
    Listening& m_listening;
    MessageSink& m_messages;
    const PracticeControls& m_practice;
    QPointer<CZolvaView> m_view; // gone when its window closes
    std::vector<XPxmlNode*> m_rows; // the elements waited at, in playing order
    std::unique_ptr<PlayAlong> m_along;
    // Keep Tempo: when each row is due, the judge, and the time since the first pluck.
    std::vector<int64_t> m_due;
    std::unique_ptr<TempoJudge> m_judge;
    int64_t m_firstPluck = -1;
    QElapsedTimer m_sinceFirst;
    QTimer m_clock;
    size_t m_shown = 0;
};
