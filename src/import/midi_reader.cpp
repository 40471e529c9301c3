#include "import/midi_reader.h"

#include "import/smf_rewrite.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

// Last: the reader's header defines short names of MIDI messages as macros.
#include <mfmidi.h>

namespace {

constexpr int kPercussionChannel = 9; // channel 10 as players count
constexpr int kChannels = 16;
constexpr int kKeys = 128;

enum TextType { Copyright = 0x02, TrackName = 0x03, InstrumentName = 0x04 };

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

// The library reads the file a byte at a time and tells each event as it
// comes, its time in ticks from the track's start; the voices, names and the
// tempo and meter changes are gathered here as it goes.
class MidiReading final : public Midifile_reader {
public:
    MidiReading(const std::vector<char>& file, ImportedPiece& piece)
        : m_next(reinterpret_cast<const unsigned char*>(file.data())), m_end(m_next + file.size()), m_piece(piece)
    {
    }
    ~MidiReading() { finalize(); }

    // False when the library found the file damaged.
    bool read()
    {
        midifile();
        finalize();
        return !midifile_error && m_piece.ticksPerQuarter > 0;
    }

    // A format-1 file names its song in the first track when that track holds no notes.
    const std::string& firstTrackName() const { return m_firstTrackName; }
    // Whether a note sounded on the percussion channel, which is not read.
    bool heardPercussion() const { return m_heardPercussion; }

protected:
    void* Mf_malloc(size_t size) override { return std::malloc(size); }
    void Mf_free(void* block, size_t) override { std::free(block); }
    int Mf_getc() override { return m_next < m_end ? *m_next++ : EOF; }
    void Mf_error(char*) override {} // the importer says what is wrong itself, once

    void Mf_header(int format, int, int division) override
    {
        m_format = format;
        m_piece.ticksPerQuarter = division;
    }

    void Mf_starttrack() override
    {
        ++m_track;
        m_trackName.clear();
        m_instrument.clear();
    }

    void Mf_endtrack() override { finishTrack(Mf_currtime); }

    void Mf_on(int channel, int key, int velocity) override
    {
        if (velocity == 0) {
            Mf_off(channel, key, velocity);
            return;
        }
        ChannelNotes* notes = channelNotes(channel);
        if (!notes) {
            m_heardPercussion = true;
            return;
        }
        notes->sounding[size_t(key & 0x7F)].push(notes->voice.notes.size());
        notes->voice.notes.push_back({Mf_currtime, -1, key & 0x7F, -1});
    }

    void Mf_off(int channel, int key, int) override
    {
        if (channel == kPercussionChannel || !m_channels[size_t(channel & 0x0F)])
            return;
        ChannelNotes& notes = *m_channels[size_t(channel & 0x0F)];
        Sounding& sounding = notes.sounding[size_t(key & 0x7F)];
        if (!sounding.empty()) {
            SourceNote& note = notes.voice.notes[sounding.pop()];
            note.length = Mf_currtime - note.start;
        }
    }

    void Mf_program(int channel, int program) override
    {
        ChannelNotes* notes = channelNotes(channel);
        if (notes && notes->voice.program < 0)
            notes->voice.program = program & 0x7F;
    }

    void Mf_text(int type, int length, unsigned char* text) override
    {
        const std::string said(reinterpret_cast<const char*>(text), length > 0 && text ? size_t(length) : 0);
        if (type == TrackName) {
            m_trackName = said;
            if (m_track == 1 && m_piece.title.empty())
                m_firstTrackName = said;
        } else if (type == InstrumentName) {
            m_instrument = said;
        } else if (type == Copyright && m_piece.rights.empty()) {
            m_piece.rights = said;
        }
    }

    void Mf_tempo(int micros) override
    {
        if (micros > 0)
            m_piece.tempos.push_back({Mf_currtime, 60e6 / double(micros)});
    }

    void Mf_timesig(int beats, int power, int, int) override
    {
        if (beats >= 1 && beats <= 64 && power >= 0 && power <= 6) // up to 64ths, as the tablature writes
            m_piece.meters.push_back({Mf_currtime, beats, 1 << power});
    }

    // The plain rewrite leaves none of these in the file.
    void Mf_chanprefix(int) override {}
    void Mf_portprefix(int) override {}
    void Mf_eot() override {}
    void Mf_pressure(int, int, int) override {}
    void Mf_controller(int, int, int) override {}
    void Mf_pitchbend(int, int, int) override {}
    void Mf_chanpressure(int, int) override {}
    void Mf_sysex(int, unsigned char*) override {}
    void Mf_arbitrary(int, unsigned char*) override {}
    void Mf_metamisc(int, int, unsigned char*) override {}
    void Mf_seqnum(int) override {}
    void Mf_smpte(int, int, int, int, int) override {}
    void Mf_keysig(int, int) override {}
    void Mf_sqspecific(int, unsigned char*) override {}

private:
    // The track's notes on channel, made on its first event; none for percussion.
    ChannelNotes* channelNotes(int channel)
    {
        if (channel == kPercussionChannel)
            return nullptr;
        std::unique_ptr<ChannelNotes>& notes = m_channels[size_t(channel & 0x0F)];
        if (!notes)
            notes = std::make_unique<ChannelNotes>();
        return notes.get();
    }

    void finishTrack(int64_t last)
    {
        const long used = std::count_if(m_channels.begin(), m_channels.end(),
                                        [](const auto& c) { return c && !c->voice.notes.empty(); });
        for (int channel = 0; channel < kChannels; ++channel) {
            std::unique_ptr<ChannelNotes>& notes = m_channels[size_t(channel)];
            if (!notes || notes->voice.notes.empty()) {
                notes.reset();
                continue;
            }
            SourceVoice& voice = notes->voice;
            for (SourceNote& note : voice.notes)
                if (note.length < 0) // never released: it lasts to the track's end
                    note.length = last - note.start;
            const std::string channelLabel = "channel " + std::to_string(channel + 1);
            const std::string trackLabel = "track " + std::to_string(m_track);
            if (m_format == 0)
                voice.label = channelLabel;
            else
                voice.label = used > 1 ? trackLabel + ", " + channelLabel : trackLabel;
            voice.name = m_trackName;
            voice.instrument = m_instrument;
            m_piece.voices.push_back(std::move(voice));
            notes.reset(); // frees the note list at once
        }
    }

    const unsigned char* m_next; // the reader asks for every byte of the file in turn
    const unsigned char* m_end;
    ImportedPiece& m_piece;
    int m_format = 1;
    int m_track = 0;
    std::array<std::unique_ptr<ChannelNotes>, kChannels> m_channels;
    std::string m_trackName, m_instrument, m_firstTrackName;
    bool m_heardPercussion = false;
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
    ImportedPiece read;
    read.quantise = true;
    read.ticksPerQuarter = 0;
    MidiReading reading(plain, read);
    if (!reading.read()) {
        problem = "the MIDI file is damaged";
        return false;
    }
    std::vector<char>().swap(plain);
    const bool firstTrackPlays = !read.voices.empty() && read.voices.front().label.rfind("track 1", 0) == 0;
    if (!firstTrackPlays)
        read.title = reading.firstTrackName();
    const auto byTime = [](const auto& a, const auto& b) { return a.at < b.at; };
    std::stable_sort(read.tempos.begin(), read.tempos.end(), byTime);
    std::stable_sort(read.meters.begin(), read.meters.end(), byTime);
    piece = std::move(read);
    if (piece.voices.empty()) {
        problem = reading.heardPercussion() ? "the MIDI file holds only percussion (channel 10)"
                                            : "the MIDI file has no notes";
        return false;
    }
    return true;
}
