// Practice > Tuner and Play Along in the whole program, listening to a
// stand-in input: the microphone is open while one of them is on and at no
// other time, readings reach the panel, plucks move the cursor, wrong ones
// flash red, and an input that does not open is said.
#include "app_fixture.h"

#include "app/command_table.h"
#include "app/listening.h"
#include "app/tuner_command.h"
#include "app/tuner_panel.h"
#include "listen/sound_inputs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>

#include <cmath>

namespace {

// Counts what the program opens and lets the test speak into it.
class StandInInputs : public SoundInputs {
public:
    struct Input : SoundInput {
        StandInInputs& owner;
        explicit Input(StandInInputs& o) : owner(o) {}
        int sampleRate() const override { return 44100; }
        bool start(Blocks blocks) override
        {
            owner.blocks = std::move(blocks);
            ++owner.started;
            return true;
        }
        void stop() override
        {
            owner.blocks = nullptr;
            ++owner.stopped;
        }
    };
    std::vector<SoundInputDevice> list() override { return {{QString(), QStringLiteral("Default input")}}; }
    std::unique_ptr<SoundInput> open(const QString&) override
    {
        ++opened;
        return available ? std::make_unique<Input>(*this) : nullptr;
    }
    void say(double hz, double seconds)
    {
        std::vector<float> tone(size_t(seconds * 44100));
        for (size_t i = 0; i < tone.size(); ++i)
            tone[i] = float(0.3 * std::sin(2 * M_PI * hz * double(i) / 44100));
        for (size_t at = 0; blocks && at < tone.size(); at += 441)
            blocks(std::span<const float>(tone).subspan(at, std::min<size_t>(441, tone.size() - at)));
    }

    bool available = true;
    int opened = 0, started = 0, stopped = 0;
    SoundInput::Blocks blocks;
};

// The tines whose lanes show red in the view's window.
std::vector<int> redLanes(CZolvaView* view)
{
    const QImage shown = view->viewport()->grab().toImage();
    std::vector<int> tines;
    for (int tine = 1; tine <= view->document().tineCount(); ++tine) {
        const int x = view->layout().TineX(tine - 1) + view->layout().options().metrics.tineWidth / 2 -
                      view->horizontalScrollBar()->value();
        for (int y = 0; x >= 0 && x < shown.width() && y < shown.height(); ++y) {
            const QRgb c = shown.pixel(x, y);
            if (qRed(c) > 2 * qGreen(c) && qRed(c) > 2 * qBlue(c)) {
                tines.push_back(tine);
                break;
            }
        }
    }
    return tines;
}

// Made before the program and gone after it, which listens through them to the end.
struct WithInputs {
    StandInInputs inputs;
};

class TunerCommandTest : protected WithInputs, public AppTest {
protected:
    TunerCommandTest() { app.setSoundInputs(inputs); }
    QLabel* indicator() const { return frame()->statusBar()->findChild<QLabel*>(QStringLiteral("listening")); }
};

TEST_F(TunerCommandTest, ListensOnlyWhileTheTunerShows)
{
    ASSERT_TRUE(start("<Note Tines=\"9\" Value=\"4\"/>"));
    QAction* tuner = command(cmd::Tuner);
    TunerPanel* panel = app.tuner()->panel();
    EXPECT_EQ(inputs.opened, 0) << "nothing listens before the tuner is asked for";
    EXPECT_FALSE(indicator()->isVisibleTo(frame()));

    tuner->trigger();
    EXPECT_EQ(inputs.started, 1);
    EXPECT_TRUE(panel->isVisibleTo(frame()));
    EXPECT_TRUE(indicator()->isVisibleTo(frame()));
    inputs.say(keyHz(60, 440.0) * std::exp2(12 / 1200.0), 0.4); // C4, 12 cents sharp
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->noteText(), "C4");
    EXPECT_EQ(panel->centsText(), "+12.0 cents");

    tuner->trigger();
    EXPECT_EQ(inputs.stopped, 1);
    EXPECT_FALSE(panel->isVisibleTo(frame()));
    EXPECT_FALSE(indicator()->isVisibleTo(frame()));

    // Closing the panel turns the tuner off too.
    tuner->trigger();
    panel->close();
    EXPECT_FALSE(tuner->isChecked());
    EXPECT_EQ(inputs.stopped, 2);
    EXPECT_EQ(inputs.opened, 2);

    inputs.available = false;
    sink.messages.clear();
    tuner->trigger();
    EXPECT_FALSE(tuner->isChecked());
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Unable to open the sound input for listening.\n"});
    EXPECT_FALSE(indicator()->isVisibleTo(frame()));
}

TEST_F(TunerCommandTest, PlayAlongWaitsForEachRowsTines)
{
    CZolvaView* view = start("<Note Tines=\"1\" Value=\"4\"/><Bar Type=\"Auto\"/><Note Tines=\"2\" Value=\"4\"/>"
                             "<Note Tines=\"1,3\" Value=\"4\"/>");
    ASSERT_TRUE(view);
    const auto cursorTines = [view] { return view->cursor().element.load()->getAttribute("Tines"); };
    Listening& listening = *app.tuner()->listening();
    QAction* along = command(cmd::PlayAlong);
    along->trigger();
    EXPECT_EQ(inputs.started, 1);
    EXPECT_TRUE(indicator()->isVisibleTo(frame()));
    EXPECT_STREQ(cursorTines(), "1");

    struct Step {
        std::vector<int> tines;
        const char* cursor; // the row's tines after it
        const char* notice;
        std::vector<int> red; // the lanes flashing
    };
    const std::vector<Step> steps = {
        {{1}, "2", "", {}},
        {{4}, "2", "Wrong tine 4", {4}},
        {{2}, "1,3", "", {4}},
        {{1}, "1,3", "", {4}},
    };
    int64_t micros = 0;
    for (const Step& step : steps) {
        emit listening.plucked(step.tines, micros += 400000);
        EXPECT_STREQ(cursorTines(), step.cursor);
        EXPECT_EQ(frame()->statusBar()->currentMessage(), step.notice);
        EXPECT_EQ(redLanes(view), step.red);
        EXPECT_TRUE(indicator()->isVisibleTo(frame())) << "a notice does not hide that the microphone is open";
        frame()->statusBar()->clearMessage();
    }
    // The flash goes by itself, within moments.
    QElapsedTimer flashing;
    flashing.start();
    while (!redLanes(view).empty() && flashing.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(redLanes(view), std::vector<int>{});
    sink.messages.clear();
    emit listening.plucked({3}, micros + 50000); // 1 and 3 within 150 ms: the last row
    EXPECT_FALSE(along->isChecked());
    EXPECT_EQ(inputs.stopped, 1);
    EXPECT_FALSE(indicator()->isVisibleTo(frame()));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("Played along: 2 of 3 rows right at the first try, 1 wrong notes, ", 0), 0u)
        << sink.messages[0];

    // One listener at a time.
    along->trigger();
    command(cmd::Tuner)->trigger();
    EXPECT_FALSE(along->isChecked());
    EXPECT_TRUE(command(cmd::Tuner)->isChecked());
    EXPECT_EQ(inputs.started, 3);
}

TEST_F(TunerCommandTest, KeepTempoMarksEachRowByItsTime)
{
    // Quarters at 120 bpm: the rows are due at 0, 0.5 s and 1 s.
    ASSERT_TRUE(start("<Note Tines=\"1\" Value=\"4\"/><Note Tines=\"2\" Value=\"4\"/>"
                      "<Note Tines=\"1,3\" Value=\"4\"/>"));
    Listening& listening = *app.tuner()->listening();
    command(cmd::KeepTempo)->setChecked(true);
    command(cmd::PlayAlong)->trigger();
    sink.messages.clear();
    emit listening.plucked({1}, 2000000);
    emit listening.plucked({5}, 2100000); // in no row near the cursor
    EXPECT_EQ(frame()->statusBar()->currentMessage(), "Wrong tine 5");
    emit listening.plucked({2}, 2520000); // 20 ms after its time
    emit listening.plucked({1, 3}, 3300000); // 300 ms late
    // The cursor goes on by the clock and the end comes a second after the last row.
    QElapsedTimer waited;
    waited.start();
    while (command(cmd::PlayAlong)->isChecked() && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(command(cmd::PlayAlong)->isChecked());
    EXPECT_EQ(inputs.stopped, 1);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Played in time: 2 rows right, 0 early, 1 late, 0 missed.\n"});
}

TEST_F(TunerCommandTest, PlayAlongLoopsTheSelection)
{
    CZolvaView* view = start("<Note Tines=\"1\" Value=\"4\"/><Note Tines=\"2\" Value=\"4\"/>"
                             "<Note Tines=\"3\" Value=\"4\"/>");
    ASSERT_TRUE(view);
    view->cursor().selectionAnchor = element(view, 2);
    view->cursor().selectionEnd = element(view, 1);
    const auto cursorTines = [view] { return std::string(view->cursor().element.load()->getAttribute("Tines")); };
    Listening& listening = *app.tuner()->listening();
    command(cmd::PlayAlong)->trigger();
    std::string way = cursorTines();
    for (int tine : {2, 3, 2, 3}) {
        emit listening.plucked({tine}, 400000 * int64_t(way.size()));
        way += cursorTines();
    }
    EXPECT_EQ(way, "23232");
    EXPECT_TRUE(command(cmd::PlayAlong)->isChecked());
    command(cmd::PlayAlong)->trigger();

    // In time, stopped after the first row: the rows not reached are not missed.
    command(cmd::KeepTempo)->setChecked(true);
    command(cmd::PlayAlong)->trigger();
    sink.messages.clear();
    emit listening.plucked({2}, 1000000);
    command(cmd::PlayAlong)->trigger();
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Played in time: 1 rows right, 0 early, 0 late, 0 missed.\n"});
}

} // namespace
