#include "import/midi_reader.h"

#include "import/smf_rewrite.h"

#include <glib.h>
#include <smf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr int kPercussionChannel = 9; // channel 10 as players count
constexpr int kChannels = 16;
constexpr int kKeys = 128;

void ignoreLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// The library reports damaged files on the standard error as well; the
// importer says what is wrong itself, once.
void quietenLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { g_log_set_handler("libsmf", GLogLevelFlags(G_LOG_LEVEL_MASK), ignoreLog, nullptr); });
}

// smf_delete takes every event off the front of its track's array, one at a
// time, which costs the square of the events (hours for a million notes):
// the events are freed here first, as the library allocates them.
void deleteEvents(smf_t* smf)
{
    for (int number = 1; number <= smf->number_of_tracks; ++number) {
        smf_track_t* track = smf_get_track_by_number(smf, number);
        if (!track || !track->events_array)
            continue;
        for (guint i = 0; i < track->events_array->len; ++i) {
            auto* event = static_cast<smf_event_t*>(g_ptr_array_index(track->events_array, i));
            std::free(event->midi_buffer);
            std::free(event);
        }
        g_ptr_array_set_size(track->events_array, 0);
        track->number_of_events = 0;
    }
}

struct SmfDeleter {
    void operator()(smf_t* smf) const
    {
        deleteEvents(smf);
        smf_delete(smf);
    }
};
using Smf = std::unique_ptr<smf_t, SmfDeleter>;

enum MetaType : unsigned char { Copyright = 0x02, TrackName = 0x03, InstrumentName = 0x04, Tempo = 0x51, TimeSignature = 0x58 };

struct MetaEvent {
    unsigned char type = 0;
    const unsigned char* data = nullptr;
    size_t length = 0;
};

// A meta event's type and data, past its variable-length size; false for any
// other event or a damaged one.
bool readMeta(const smf_event_t* event, MetaEvent& meta)
{
    const unsigned char* buffer = event->midi_buffer;
    const size_t size = event->midi_buffer_length > 0 ? size_t(event->midi_buffer_length) : 0;
    if (size < 3 || buffer[0] != 0xFF)
        return false;
    size_t length = 0, i = 2;
    for (; i < size && i < 6; ++i) {
        length = (length << 7) | (buffer[i] & 0x7F);
        if (!(buffer[i] & 0x80))
            break;
    }
    ++i;
    if (i > size || length > size - i)
        return false;
    meta = {buffer[1], buffer + i, length};
    return true;
}

std::string metaText(const MetaEvent& meta)
{
    return std::string(reinterpret_cast<const char*>(meta.data), meta.length);
}

// The notes sounding on one key, oldest first: a note-off ends the oldest.
struct Sounding {
    std::vector<size_t> notes;
    size_t oldest = 0;
    bool empty() const { return oldest == notes.size(); }
    void push(size_t note) { notes.push_back(note); }
    size_t pop()
    {
        const size_t note = notes[oldest++];
        if (empty()) {
            notes.clear();
            oldest = 0;
        }
        return note;
    }
};

// One track's notes on one channel while they are read.
struct ChannelNotes {
    SourceVoice voice;
    std::array<Sounding, kKeys> sounding; // by key
};

class MidiReading {
public:
    MidiReading(const smf_t& smf, ImportedPiece& piece) : m_smf(smf), m_piece(piece) {}

    void readTrack(int number)
    {
        smf_track_t* track = smf_get_track_by_number(&m_smf, number);
        if (!track || !track->events_array)
            return;
        std::array<std::unique_ptr<ChannelNotes>, kChannels> channels;
        std::string trackName, instrument;
        int64_t last = 0;
        // The track's events in order, read where the library keeps them.
        const GPtrArray* events = track->events_array;
        for (guint i = 0; i < events->len; ++i) {
            const auto* event = static_cast<const smf_event_t*>(g_ptr_array_index(events, i));
            if (!event || event->midi_buffer_length < 1)
                continue;
            last = std::max<int64_t>(last, event->time_pulses);
            MetaEvent meta;
            if (readMeta(event, meta))
                readMetaEvent(meta, event->time_pulses, number, trackName, instrument);
            else
                readChannelEvent(*event, channels);
        }
        finishTrack(number, channels, trackName, instrument, last);
    }

private:
    void readMetaEvent(const MetaEvent& meta, int64_t at, int track, std::string& trackName, std::string& instrument)
    {
        if (meta.type == Tempo && meta.length >= 3) {
            const long micros = long(meta.data[0]) << 16 | long(meta.data[1]) << 8 | meta.data[2];
            if (micros > 0)
                m_piece.tempos.push_back({at, int(std::lround(60e6 / double(micros)))});
        } else if (meta.type == TimeSignature && meta.length >= 2) {
            const int beats = meta.data[0];
            const int power = meta.data[1];
            if (beats >= 1 && beats <= 64 && power <= 6) // up to 64ths, as the tablature writes
                m_piece.meters.push_back({at, beats, 1 << power});
        } else if (meta.type == TrackName) {
            trackName = metaText(meta);
            if (track == 1 && m_piece.title.empty())
                m_firstTrackName = trackName;
        } else if (meta.type == InstrumentName) {
            instrument = metaText(meta);
        } else if (meta.type == Copyright && m_piece.rights.empty()) {
            m_piece.rights = metaText(meta);
        }
    }

    void readChannelEvent(const smf_event_t& event, std::array<std::unique_ptr<ChannelNotes>, kChannels>& channels)
    {
        const unsigned char* b = event.midi_buffer;
        const int status = b[0] & 0xF0;
        const int channel = b[0] & 0x0F;
        if (status < 0x80 || status > 0xE0 || channel == kPercussionChannel)
            return;
        std::unique_ptr<ChannelNotes>& notes = channels[size_t(channel)];
        if (status == 0xC0 && event.midi_buffer_length >= 2) {
            if (!notes)
                notes = std::make_unique<ChannelNotes>();
            if (notes->voice.program < 0)
                notes->voice.program = b[1] & 0x7F;
            return;
        }
        if ((status != 0x90 && status != 0x80) || event.midi_buffer_length < 3)
            return;
        if (!notes)
            notes = std::make_unique<ChannelNotes>();
        const int key = b[1] & 0x7F;
        Sounding& sounding = notes->sounding[size_t(key)];
        if (status == 0x90 && b[2] > 0) {
            sounding.push(notes->voice.notes.size());
            notes->voice.notes.push_back({event.time_pulses, -1, key, -1, false});
        } else if (!sounding.empty()) {
            SourceNote& note = notes->voice.notes[sounding.pop()];
            note.length = event.time_pulses - note.start;
        }
    }

    void finishTrack(int number, std::array<std::unique_ptr<ChannelNotes>, kChannels>& channels,
                     const std::string& trackName, const std::string& instrument, int64_t last)
    {
        const long used = std::count_if(channels.begin(), channels.end(),
                                        [](const auto& c) { return c && !c->voice.notes.empty(); });
        for (int channel = 0; channel < kChannels; ++channel) {
            std::unique_ptr<ChannelNotes>& notes = channels[size_t(channel)];
            if (!notes || notes->voice.notes.empty())
                continue;
            SourceVoice& voice = notes->voice;
            for (SourceNote& note : voice.notes)
                if (note.length < 0) // never released: it lasts to the track's end
                    note.length = last - note.start;
            const std::string channelLabel = "channel " + std::to_string(channel + 1);
            const std::string trackLabel = "track " + std::to_string(number);
            if (m_smf.format == 0)
                voice.label = channelLabel;
            else
                voice.label = used > 1 ? trackLabel + ", " + channelLabel : trackLabel;
            voice.name = trackName;
            voice.instrument = instrument;
            m_piece.voices.push_back(std::move(voice));
            notes.reset(); // frees the note list at once
        }
    }

public:
    // A format-1 file names its song in the first track when that track holds no notes.
    const std::string& firstTrackName() const { return m_firstTrackName; }

private:
    const smf_t& m_smf;
    std::string m_firstTrackName;
    ImportedPiece& m_piece;
};

} // namespace

bool looksLikeMidi(const char* bytes, size_t size)
{
    return size >= 4 && std::memcmp(bytes, "MThd", 4) == 0;
}

bool readMidi(const char* bytes, size_t size, ImportedPiece& piece, std::string& problem)
{
    if (!looksLikeMidi(bytes, size)) {
        problem = "not a MIDI file";
        return false;
    }
    if (size > size_t(std::numeric_limits<int>::max())) {
        problem = "the MIDI file is too large";
        return false;
    }
    quietenLibrary();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    if (size >= 10 && data[8] == 0 && data[9] == 2) { // separate songs, one a track
        problem = "the MIDI file is of format 2; formats 0 and 1 can be read";
        return false;
    }
    std::vector<char> plain;
    if (!rewriteMidiPlainly(data, size, plain)) {
        problem = "the MIDI file is damaged";
        return false;
    }
    Smf smf(plain.size() <= size_t(std::numeric_limits<int>::max()) ? smf_load_from_memory(plain.data(), int(plain.size()))
                                                                      : nullptr);
    std::vector<char>().swap(plain);
    if (!smf || smf->ppqn <= 0) {
        problem = "the MIDI file is damaged";
        return false;
    }
    piece = ImportedPiece{};
    piece.quantise = true;
    piece.ticksPerQuarter = smf->ppqn;
    MidiReading reading(*smf, piece);
    for (int track = 1; track <= smf->number_of_tracks; ++track)
        reading.readTrack(track);
    smf.reset(); // the file's events are no longer needed
    const bool firstTrackPlays = !piece.voices.empty() && piece.voices.front().label.rfind("track 1", 0) == 0;
    if (!firstTrackPlays)
        piece.title = reading.firstTrackName();
    const auto byTime = [](const auto& a, const auto& b) { return a.at < b.at; };
    std::stable_sort(piece.tempos.begin(), piece.tempos.end(), byTime);
    std::stable_sort(piece.meters.begin(), piece.meters.end(), byTime);
    if (piece.voices.empty()) {
        problem = "the MIDI file has no notes";
        return false;
    }
    return true;
}
