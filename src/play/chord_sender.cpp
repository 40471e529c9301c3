#include "play/chord_sender.h"

#include "play/midi_session.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr size_t kMaxTines = 100;
constexpr std::chrono::microseconds kStrumPause = std::chrono::milliseconds(18);
constexpr int kNoteOn = 0x90;
constexpr int kProgramChange = 0xC0;
constexpr int kSoundVelocity = 100;

size_t usableTines(std::span<const int> tineKeys, int tineCount)
{
    return std::min({size_t(std::max(tineCount, 0)), tineKeys.size(), kMaxTines});
}

} // namespace

void PlayChord(MidiSession& midi, std::span<const int> tineKeys, int tineCount, bool playing,
               std::span<const int> tines, const StrumPause& pause)
{
    if (!playing && midi.mute())
        return;
    const std::shared_ptr<MidiOutput> out = midi.midiOut();
    if (!out)
        return;
    out->send(midiMessage(kProgramChange, midi.midiInstrument() - 1, 0));

    const size_t usable = usableTines(tineKeys, tineCount);
    std::vector<int> keys;
    keys.reserve(std::min(tines.size(), kMaxTines));
    for (int tine : tines) {
        if (tine < 1 || size_t(tine) > usable || keys.size() == kMaxTines)
            continue;
        const int key = tineKeys[size_t(tine) - 1];
        keys.insert(std::upper_bound(keys.begin(), keys.end(), key), key);
    }

    const bool strum = tines.size() >= 3;
    for (int key : keys) {
        out->send(midiMessage(kNoteOn, key, kSoundVelocity));
        if (!strum)
            continue;
        if (pause)
            pause(kStrumPause);
        else
            std::this_thread::sleep_for(kStrumPause);
    }
}

void SilenceTines(MidiSession& midi, std::span<const int> tineKeys, int tineCount)
{
    const std::shared_ptr<MidiOutput> out = midi.midiOut();
    if (!out)
        return;
    const size_t usable = usableTines(tineKeys, tineCount);
    for (size_t i = 0; i < usable; ++i)
        out->send(midiMessage(kNoteOn, tineKeys[i], 0));
}

std::function<void(std::span<const int> tines)> midiPreview(MidiSession* midi, std::span<const int> tineKeys,
                                                             int tineCount)
{
    if (!midi)
        return {};
    return [midi, tineKeys, tineCount](std::span<const int> tines) {
        PlayChord(*midi, tineKeys, tineCount, false, tines);
    };
}
