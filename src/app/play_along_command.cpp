#include "app/play_along_command.h"

#include "app/child_frame.h"
#include "app/command_table.h"
#include "app/listening.h"
#include "app/mainframe.h"
#include "app/performance_export.h"
#include "app/zolva_view.h"
#include "doc/deferred_messages.h"
#include "doc/music_vocabulary.h"
#include "doc/tine_numbers.h"
#include "doc/zolva_doc.h"
#include "play/bar_counter.h"
#include "view/view_cursor.h"
#include "xml/xpxml_node.h"

#include <QAction>
#include <QStringList>

namespace {

constexpr int kWrongNoteMs = 1500;
constexpr int kLookAhead = 4;

struct Rows {
    std::vector<XPxmlNode*> elements;
    std::vector<std::vector<int>> tines;
};

// The rows the piece plucks, in the order Play plays them: the notes the
// cursor went to that sounded something on the way to the next.
Rows playedRows(const Performance& performance, int tineCount)
{
    Rows rows;
    size_t message = 0;
    for (size_t i = 0; i < performance.steps.size(); ++i) {
        const PerformanceStep& step = performance.steps[i];
        const int64_t until = i + 1 < performance.steps.size() ? performance.steps[i + 1].micros : INT64_MAX;
        bool struck = false;
        for (; message < performance.messages.size() && performance.messages[message].micros < until; ++message) {
            const MidiMessage m = performance.messages[message].message;
            struck |= performance.messages[message].micros >= step.micros && midiStatus(m) == 0x90 && midiData2(m) > 0;
        }
        const TineNumbers tines = readNoteTines(step.element, tineCount);
        if (!struck || !step.element->hasName(MusicElement::Note) || tines.count == 0)
            continue;
        rows.elements.push_back(step.element);
        rows.tines.emplace_back(tines.span().begin(), tines.span().end());
    }
    return rows;
}

} // namespace

PlayAlongCommand::PlayAlongCommand(CMainFrame& frame, Listening& listening, MessageSink& messages)
    : m_frame(frame), m_listening(listening), m_messages(messages)
{
    QAction* action = frame.commandAction(cmd::PlayAlong);
    connect(action, &QAction::toggled, this, &PlayAlongCommand::turn);
    connect(&listening, &Listening::plucked, this, &PlayAlongCommand::hear);
}

void PlayAlongCommand::turn(bool on)
{
    if (on && !begin())
        m_frame.commandAction(cmd::PlayAlong)->setChecked(false);
    else if (!on && m_along)
        finish();
}

bool PlayAlongCommand::begin()
{
    CChildFrame* child = m_frame.activeChild();
    if (!child || !child->view())
        return false;
    // One listener at a time: the tuner gives way.
    m_frame.commandAction(cmd::Tuner)->setChecked(false);
    m_view = child->view();
    DeferredMessages quiet;
    const Rows rows = playedRows(renderPerformance(quiet, performanceMusicOf(*m_view, 100, false)),
                                 m_view->document().tineCount());
    if (rows.elements.empty())
        return false;
    m_rows = rows.elements;
    m_along = std::make_unique<PlayAlong>(rows.tines);
    const auto& keys = m_view->layout().options().tineKeys;
    const TineTuning tuning{{keys.begin(), keys.begin() + std::clamp(m_view->document().tineCount(), 0, int(keys.size()))}};
    if (!m_listening.startPlayAlong(tuning)) {
        m_along.reset();
        m_messages.showMessage("Unable to open the sound input for listening.\n");
        return false;
    }
    m_view->cursor().element.store(m_rows.front());
    m_view->ScrollToElement(m_rows.front(), kLookAhead);
    appendToListenLog(QStringLiteral("along row 0"));
    return true;
}

void PlayAlongCommand::hear(const std::vector<int>& tines, int64_t micros)
{
    if (!m_along)
        return;
    if (!m_view) {
        m_frame.commandAction(cmd::PlayAlong)->setChecked(false);
        return;
    }
    const PlayAlong::Heard heard = m_along->hear(tines, micros);
    if (!heard.wrong.empty()) {
        QStringList names;
        for (int tine : heard.wrong)
            names << QString::number(tine);
        m_frame.showNotice(QStringLiteral("Wrong tine %1").arg(names.join(QStringLiteral(", "))), kWrongNoteMs);
        appendToListenLog(QStringLiteral("along wrong ") + names.join(QLatin1Char(',')));
    }
    if (!heard.moved)
        return;
    if (m_along->finished()) {
        m_frame.commandAction(cmd::PlayAlong)->setChecked(false); // finishes
        return;
    }
    XPxmlNode* row = m_rows[m_along->row()];
    m_view->cursor().element.store(row);
    m_view->ScrollToElement(row, kLookAhead);
    appendToListenLog(QStringLiteral("along row %1").arg(m_along->row()));
}

void PlayAlongCommand::finish()
{
    m_listening.stop();
    const PlayAlongSummary s = std::exchange(m_along, nullptr)->summary();
    BarCounter bars;
    QStringList slowest;
    for (int row : s.slowestRows)
        if (m_view)
            slowest << QString::number(bars.barOf(m_view->document().firstEvent(), m_rows[size_t(row)]));
    const QString text =
        QStringLiteral("Played along: %1 of %2 rows right at the first try, %3 wrong notes, %4 s a row on average")
            .arg(s.rightFirstTime)
            .arg(s.rows)
            .arg(s.wrongNotes)
            .arg(s.secondsPerRow, 0, 'f', 1) +
        (slowest.isEmpty() ? QString() : QStringLiteral("; slowest bars: %1").arg(slowest.join(QStringLiteral(", ")))) +
        QLatin1Char('.');
    appendToListenLog(QStringLiteral("along done"));
    m_frame.showNotice(text, 0);
    m_messages.showMessage(text.toStdString() + "\n");
}
