#include "playback_fixture.h"

#include "doc/note_steps.h"

#include <algorithm>
#include <chrono>

void JumpingClock::waitUntil(int64_t deadline, StopSignal& stop)
{
    if (onWait)
        onWait(deadline);
    if (stop.raised())
        return;
    stallUntil(deadline);
}

void JumpingClock::stallUntil(int64_t at)
{
    int64_t now = m_now.load();
    while (at > now && !m_now.compare_exchange_weak(now, at)) {
    }
}

class StampedDevices::Output : public MidiOutput {
public:
    explicit Output(StampedDevices& devices) : m_devices(devices) {}
    void setVolume(uint32_t) override {}
    void send(MidiMessage message) override
    {
        std::lock_guard lock(m_devices.m_mutex);
        m_devices.m_messages.push_back({m_devices.m_clock.now(), message});
    }
    void close() override {}

private:
    StampedDevices& m_devices;
};

std::unique_ptr<MidiOutput> StampedDevices::open(int)
{
    return std::make_unique<Output>(*this);
}

std::vector<StampedMessage> StampedDevices::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<StampedMessage> StampedDevices::sounded() const
{
    std::vector<StampedMessage> out;
    for (const StampedMessage& m : messages()) {
        if (midiStatus(m.message) == 0x90 && midiData2(m.message) > 0)
            out.push_back(m);
    }
    return out;
}

void RecordingWindow::add(Call call)
{
    call.micros = m_clock.now();
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
    }
    m_added.notify_all();
}

std::vector<RecordingWindow::Call> RecordingWindow::calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

std::vector<RecordingWindow::Call> RecordingWindow::callsOf(const std::string& what) const
{
    std::vector<Call> out;
    for (const Call& call : calls()) {
        if (call.what == what)
            out.push_back(call);
    }
    return out;
}

bool RecordingWindow::waitFinished(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_added.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::count_if(m_calls.begin(), m_calls.end(), [](const Call& c) { return c.what == "finished"; }) >=
               count;
    });
}

PlaybackRig::PlaybackRig(const std::string& notes, PlayClock& clock, TiedViews& tied)
    : devices(clock), window(clock), engine(session, window, tied, clock)
{
    doc.loadText(("<Notes>" + notes + "</Notes>").c_str());
    for (XPxmlNode* e = firstElement(doc.rootElement()); e; e = nextElement(e))
        elements.push_back(e);
    session.OpenMidiOutput();
}

XPxmlNode* PlaybackRig::at(int index) const
{
    return index >= 0 && size_t(index) < elements.size() ? elements[size_t(index)] : nullptr;
}

int PlaybackRig::indexOf(const XPxmlNode* element) const
{
    const auto it = std::find(elements.begin(), elements.end(), element);
    return it == elements.end() ? -1 : int(it - elements.begin());
}

PlaybackSetup PlaybackRig::setup(int startIndex, long playDelay) const
{
    PlaybackSetup s;
    s.noteList = doc.rootElement();
    s.start = at(startIndex);
    s.tineCount = kTines;
    for (int i = 0; i < kTines; ++i)
        s.tineKeys[size_t(i)] = 60 + i;
    s.playDelay = playDelay;
    return s;
}

void PlaybackRig::playThrough(int startIndex, long playDelay)
{
    const int before = int(window.callsOf("finished").size());
    engine.play(setup(startIndex, playDelay));
    window.waitFinished(before + 1);
    engine.stop(); // joins the ended thread
}

std::vector<int> PlaybackRig::cursorOrder() const
{
    std::vector<int> out;
    for (const RecordingWindow::Call& call : window.callsOf("cursor"))
        out.push_back(indexOf(call.element));
    return out;
}

std::vector<int> PlaybackRig::soundedKeys() const
{
    std::vector<int> out;
    for (const StampedMessage& m : devices.sounded())
        out.push_back(midiData1(m.message));
    return out;
}

std::vector<int64_t> PlaybackRig::soundedTimes() const
{
    std::vector<int64_t> out;
    const std::vector<StampedMessage> sounded = devices.sounded();
    for (const StampedMessage& m : sounded)
        out.push_back(m.micros - sounded.front().micros);
    return out;
}

std::string note(int tine, const std::string& value, const std::string& more)
{
    return "<Note Tines=\"" + std::to_string(tine) + "\" Value=\"" + value + "\" " + more + "/>";
}

std::string rest(const std::string& value, const std::string& more)
{
    return "<Rest Value=\"" + value + "\" " + more + "/>";
}

std::string bar(const std::string& more)
{
    return "<Bar Type=\"Auto\" Timing=\"A4/4\" " + more + "/>";
}

std::string repeatBar(const std::string& modifier, const std::string& more)
{
    return bar("Modifier=\"" + modifier + "\" " + more);
}
