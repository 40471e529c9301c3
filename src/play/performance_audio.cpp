#include "play/performance_audio.h"

#include "play/performance_render.h"
#include "play/synth_engine.h"
#include "xml/work_progress.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Frames rendered at a time: a whole number of synthesizer blocks, so that
// every render call ends on a block boundary.
constexpr int64_t kChunkFrames = 16 * kSynthBlockFrames;

int64_t framesOf(int64_t micros)
{
    return int64_t(std::llround(double(micros) * SynthEngine::kSampleRate / 1e6));
}

class ChunkRenderer {
public:
    ChunkRenderer(SynthEngine& engine, const AudioSink& sink, WorkProgress* progress)
        : m_engine(engine), m_sink(sink), m_progress(progress)
    {
    }

    // Renders up to frame (a block boundary); false when stopped.
    bool renderTo(int64_t frame)
    {
        while (m_rendered < frame) {
            if (!renderChunk(std::min(frame - m_rendered, kChunkFrames)))
                return false;
        }
        return true;
    }
    // Renders whole chunks until nothing sounds or limit; false when stopped.
    bool ringOut(int64_t limit)
    {
        while (m_rendered < limit && m_engine.soundingVoices() > 0) {
            if (!renderChunk(kChunkFrames))
                return false;
        }
        return true;
    }

private:
    bool renderChunk(int64_t frames)
    {
        if (m_progress && m_progress->cancelled.load())
            return false;
        const int n = int(frames);
        m_engine.render(m_left.data(), m_right.data(), n);
        for (int i = 0; i < n; ++i) {
            m_interleaved[size_t(2 * i)] = m_left[size_t(i)];
            m_interleaved[size_t(2 * i + 1)] = m_right[size_t(i)];
        }
        m_rendered += frames;
        if (m_progress)
            m_progress->done = size_t(m_rendered);
        return m_sink(std::span<const float>(m_interleaved.data(), size_t(2 * n)));
    }

    SynthEngine& m_engine;
    const AudioSink& m_sink;
    WorkProgress* m_progress;
    int64_t m_rendered = 0;
    std::array<float, kChunkFrames> m_left{}, m_right{};
    std::array<float, 2 * kChunkFrames> m_interleaved{};
};

} // namespace

int64_t audioFrameOf(int64_t micros)
{
    const int64_t exact = framesOf(std::max<int64_t>(micros, 0));
    return (exact + kSynthBlockFrames / 2) / kSynthBlockFrames * kSynthBlockFrames;
}

bool renderPerformanceAudio(const Performance& performance, SynthEngine& engine, const AudioSink& sink,
                            WorkProgress* progress)
{
    const int64_t last = performance.messages.empty() ? 0 : performance.messages.back().micros;
    const int64_t limit = audioFrameOf(last) + framesOf(kLongestRingOut);
    if (progress)
        progress->total = size_t(limit);
    ChunkRenderer renderer(engine, sink, progress);
    for (const RecordedMidiMessage& sent : performance.messages) {
        if (!renderer.renderTo(audioFrameOf(sent.micros)))
            return false;
        engine.play(sent.message);
    }
    if (!renderer.ringOut(limit))
        return false;
    if (progress)
        progress->done = size_t(limit);
    return true;
}
