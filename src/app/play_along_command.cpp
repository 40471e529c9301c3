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
#include "play/practice_controls.h"
#include "view/view_cursor.h"
#include "xml/xpxml_node.h"

#include <QAction>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int kWrongNoteMs = 1500;
// Long enough to catch the eye, short enough to be gone by the next pluck.
constexpr int kWrongLaneMs = 700;
constexpr int kLookAhead = 4;

// After the last row is due, how long a player in time has for it.
constexpr int64_t kLastRowGrace = 1000000; // µs
constexpr int kClockTickMs = 10;

// A selection looped is played along this many times at most, or for as
// long as an exported performance lasts.
constexpr int kMostLoopPasses = 1000;

struct Rows {
    std::vector<XPxmlNode*> elements;
    std::vector<std::vector<int>> tines;
    std::vector<int64_t> due; // µs from the first row
    int64_t length = 0;       // µs from the first row to the end of the last
};

// The steps of one pass through the selection first .. last, as Play loops
// it: from the cursor's first visit to first to its next visit to last.
// All of them without a selection.
std::pair<size_t, size_t> loopSteps(const std::vector<PerformanceStep>& steps, std::pair<XPxmlNode*, XPxmlNode*> loop)
{
    if (!loop.first)
        return {0, steps.size()};
    const auto first = std::ranges::find(steps, loop.first, &PerformanceStep::element);
    const auto last = std::find_if(first, steps.end(), [&](const PerformanceStep& s) { return s.element == loop.second; });
    return {size_t(first - steps.begin()), last == steps.end() ? steps.size() : size_t(last - steps.begin()) + 1};
}

// The rows the piece plucks, in the order Play plays them: the notes the
// cursor went to that sounded something on the way to the next.
Rows playedRows(const Performance& performance, int tineCount, std::pair<XPxmlNode*, XPxmlNode*> loop)
{
    Rows rows;
    const auto [from, to] = loopSteps(performance.steps, loop);
    if (from >= to)
        return rows;
    size_t message = 0;
    for (size_t i = from; i < to; ++i) {
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
        rows.due.push_back(step.micros);
    }
    const int64_t first = rows.due.empty() ? 0 : rows.due.front();
    for (int64_t& due : rows.due)
        due -= first;
    rows.length = (to < performance.steps.size() ? performance.steps[to].micros : performance.length) - first;
    return rows;
}

// A looped selection's rows pass after pass.
Rows looped(const Rows& pass)
{
    const int passes = int(std::clamp<int64_t>(kLongestPerformance / std::max<int64_t>(pass.length, 1), 1, kMostLoopPasses));
    Rows rows;
    for (int n = 0; n < passes; ++n) {
        rows.elements.insert(rows.elements.end(), pass.elements.begin(), pass.elements.end());
        rows.tines.insert(rows.tines.end(), pass.tines.begin(), pass.tines.end());
        for (int64_t due : pass.due)
            rows.due.push_back(n * pass.length + due);
    }
    rows.length = passes * pass.length;
    return rows;
}

} // namespace

PlayAlongCommand::PlayAlongCommand(CMainFrame& frame, Listening& listening, MessageSink& messages,
                                   const PracticeControls& practice)
    : m_frame(frame), m_listening(listening), m_messages(messages), m_practice(practice)
{
    m_clock.setInterval(kClockTickMs);
    connect(&m_clock, &QTimer::timeout, this, &PlayAlongCommand::keepTime);
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
    // In time, the rows are due as Play would play them at the practice speed.
    // Two or more rows selected are practised over and over, as Loop Selection plays them.
    const std::pair<XPxmlNode*, XPxmlNode*> loop = m_view->cursor().selectedRows();
    Rows rows = playedRows(renderPerformance(quiet, performanceMusicOf(*m_view, m_practice.speed.load(), false)),
                           m_view->document().tineCount(), loop);
    if (rows.elements.empty())
        return false;
    if (loop.first)
        rows = looped(rows);
    m_rows = rows.elements;
    m_along = std::make_unique<PlayAlong>(rows.tines);
    m_judge.reset();
    if (m_frame.commandAction(cmd::KeepTempo)->isChecked()) {
        std::vector<DueRow> due;
        for (size_t i = 0; i < rows.due.size(); ++i)
            due.push_back({rows.due[i], rows.tines[i]});
        m_judge = std::make_unique<TempoJudge>(std::move(due));
        m_due = rows.due;
        m_firstPluck = -1;
        m_shown = 0;
    }
    const auto& keys = m_view->layout().options().tineKeys;
    const TineTuning tuning{{keys.begin(), keys.begin() + std::clamp(m_view->document().tineCount(), 0, int(keys.size()))}};
    if (!m_listening.startPlayAlong(tuning)) {
        m_along.reset();
        m_messages.showMessage("Unable to open the sound input for listening.\n");
        return false;
    }
    showRow(0);
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
    if (m_judge) {
        // In time the cursor goes on by the clock from the first pluck.
        if (m_firstPluck < 0) {
            m_firstPluck = micros;
            m_sinceFirst.start();
            m_clock.start();
        }
        m_judge->hear(tines, micros - m_firstPluck);
        // A tine of none of the rows about the cursor belongs to no row played now.
        std::vector<int> wrong;
        for (int tine : tines) {
            bool near = false;
            const auto& rows = m_along->rows();
            for (size_t row = m_shown > 0 ? m_shown - 1 : 0; row <= m_shown + 1 && row < rows.size(); ++row)
                near |= std::ranges::find(rows[row], tine) != rows[row].end();
            if (!near)
                wrong.push_back(tine);
        }
        showWrong(wrong);
        return;
    }
    const PlayAlong::Heard heard = m_along->hear(tines, micros);
    showWrong(heard.wrong);
    if (!heard.moved)
        return;
    if (m_along->finished()) {
        m_frame.commandAction(cmd::PlayAlong)->setChecked(false); // finishes
        return;
    }
    showRow(m_along->row());
}

void PlayAlongCommand::showWrong(const std::vector<int>& tines)
{
    if (tines.empty())
        return;
    QStringList names;
    for (int tine : tines)
        names << QString::number(tine);
    m_frame.showNotice(QStringLiteral("Wrong tine %1").arg(names.join(QStringLiteral(", "))), kWrongNoteMs);
    appendToListenLog(QStringLiteral("along wrong ") + names.join(QLatin1Char(',')));
    m_view->flashWrongTines(tines, kWrongLaneMs);
}

void PlayAlongCommand::showRow(size_t row)
{
    m_view->cursor().element.store(m_rows[row]);
    m_view->ScrollToElement(m_rows[row], kLookAhead);
    appendToListenLog(QStringLiteral("along row %1").arg(row));
}

void PlayAlongCommand::keepTime()
{
    if (!m_judge || !m_view) {
        m_clock.stop();
        return;
    }
    const int64_t now = m_sinceFirst.nsecsElapsed() / 1000;
    if (now > m_due.back() + kLastRowGrace) {
        m_frame.commandAction(cmd::PlayAlong)->setChecked(false); // finishes
        return;
    }
    size_t row = m_shown;
    while (row + 1 < m_due.size() && m_due[row + 1] <= now)
        ++row;
    if (row != m_shown)
        showRow(m_shown = row);
}

void PlayAlongCommand::finish()
{
    m_listening.stop();
    m_clock.stop();
    if (m_judge) {
        // Rows the cursor never reached were not missed.
        int count[4] = {};
        const std::vector<RowMark> marks = std::exchange(m_judge, nullptr)->marks();
        for (size_t row = 0; row < marks.size() && m_firstPluck >= 0 && row <= m_shown; ++row)
            ++count[int(marks[row])];
        m_along.reset();
        const QString text = QStringLiteral("Played in time: %1 rows right, %2 early, %3 late, %4 missed.")
                                 .arg(count[int(RowMark::Right)])
                                 .arg(count[int(RowMark::Early)])
                                 .arg(count[int(RowMark::Late)])
                                 .arg(count[int(RowMark::Missed)]);
        appendToListenLog(QStringLiteral("along done"));
        m_frame.showNotice(text, 0);
        m_messages.showMessage(text.toStdString() + "\n");
        return;
    }
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
