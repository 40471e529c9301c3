#include "listen/pluck_detector.h"

#include "listen/onset_tines.h"

#include <aubio/aubio.h>

#include <algorithm>

namespace {

// aubio's onset detector, on its energy function: a tine's attack adds
// energy at once, while the beating of partials that makes its frequency-based
// functions fire again and again does not.
constexpr const char* kOnsetMethod = "energy";
constexpr uint_t kOnsetWindow = 512;
constexpr uint_t kHop = 128;
// How far aubio's onsets trail the start of a tine's sound.
constexpr double kOnsetDelaySeconds = 0.019;
// Onsets closer than this are one: the tines of a strum are further apart.
constexpr double kOnsetGapSeconds = 0.012;

// The stretches looked at around an onset: one just before it, and two
// ending this long after it, the later far enough for the knock of the
// attack to have died down, and soon enough to report the pluck within
// 50 ms.
constexpr double kStretchSeconds = 0.035;
constexpr double kEarlyEndSeconds = 0.030;
constexpr double kAfterEndSeconds = 0.040;
// A tine rings for seconds; the knock of a pluck, a wood block and the
// partials of the attack die within tens of milliseconds, losing more than
// this between the early and the later look.
constexpr double kMostFall = 3.0; // dB

// The next tines of a strum may begin before aubio finds their onset: after
// a pluck, and while a tone is seen beginning late, the sound is looked at
// again this much later, at most this often, unless aubio found an onset
// there.
constexpr double kLookAgainSeconds = kAfterEndSeconds - kEarlyEndSeconds;
constexpr int kMostLooksAgain = 3;
constexpr double kOnsetThereSeconds = 0.03;
// Onsets this close follow each other in a strum, for at most this long.
// Each is measured against the sound before the strum: the next tine's
// attack can hide a tine at its own onset, and by the next, the tine sounds
// in the stretch before.
constexpr double kStrumGapSeconds = 0.03;
constexpr double kLongestStrumSeconds = 0.06;

// A pluck within this of a click the detector was told of is looked at this
// much later, once the wood block has died down; the early look stays, so
// that the wood block's ringing is seen to fall, by more than a tine's
// (with the click's ringing on it) would. Its ringing is not looked at
// again: later, it falls as slowly as a tine.
constexpr double kNearClickSeconds = 0.02;
constexpr double kClickRingSeconds = 0.025;
constexpr double kMostFallNearClick = 10.0; // dB

// A tine heard is not heard again from another onset this soon after: the
// tines of a strum raise the onsets after the first.
constexpr double kSameTineSeconds = 0.1;
// Enough sound kept to look back from the latest onset's last stretch.
constexpr double kHistorySeconds = 0.2;

int64_t framesOf(double seconds, int sampleRate)
{
    return int64_t(seconds * sampleRate + 0.5);
}

} // namespace

struct PluckDetector::Onsets {
    explicit Onsets(int sampleRate)
        : onset(new_aubio_onset(kOnsetMethod, kOnsetWindow, kHop, uint_t(sampleRate))), in(new_fvec(kHop)),
          out(new_fvec(1))
    {
        aubio_onset_set_minioi_s(onset, smpl_t(kOnsetGapSeconds));
        aubio_onset_set_delay_s(onset, smpl_t(kOnsetDelaySeconds));
    }
    ~Onsets()
    {
        del_aubio_onset(onset);
        del_fvec(in);
        del_fvec(out);
    }
    aubio_onset_t* onset;
    fvec_t* in;
    fvec_t* out;
};

PluckDetector::PluckDetector(int sampleRate, TineTuning tuning)
    : m_sampleRate(std::max(sampleRate, 8000)), m_tuning(std::move(tuning)),
      m_onsets(std::make_unique<Onsets>(m_sampleRate)),
      m_history(size_t(framesOf(kHistorySeconds, m_sampleRate))),
      m_before(size_t(framesOf(kStretchSeconds, m_sampleRate)), m_sampleRate),
      m_early(m_before.length(), m_sampleRate), m_after(m_before.length(), m_sampleRate),
      m_stretch(m_before.length()), m_lastHeard(m_tuning.keys.size(), INT64_MIN / 2)
{
    m_hop.reserve(kHop);
}

PluckDetector::~PluckDetector() = default;

std::vector<HeardPluck> PluckDetector::feed(std::span<const float> samples)
{
    std::vector<HeardPluck> heard;
    while (!samples.empty()) {
        const size_t take = std::min(samples.size(), size_t(kHop) - m_hop.size());
        m_hop.insert(m_hop.end(), samples.begin(), samples.begin() + std::ptrdiff_t(take));
        samples = samples.subspan(take);
        if (m_hop.size() < kHop)
            break;
        takeHop(m_hop);
        m_hop.clear();
        while (!m_pending.empty() && afterEnd(m_pending.front().frame) <= m_history.end()) {
            judge(m_pending.front(), heard);
            m_pending.pop_front();
        }
    }
    return heard;
}

void PluckDetector::expectClick(int64_t frame)
{
    m_clicks.insert(std::upper_bound(m_clicks.begin(), m_clicks.end(), frame), frame);
}

bool PluckDetector::nearClick(int64_t onset)
{
    const int64_t near = framesOf(kNearClickSeconds, m_sampleRate);
    while (!m_clicks.empty() && m_clicks.front() < onset - near)
        m_clicks.pop_front();
    return !m_clicks.empty() && m_clicks.front() <= onset + near;
}

int64_t PluckDetector::afterEnd(int64_t onset)
{
    return onset + framesOf(kAfterEndSeconds + (nearClick(onset) ? kClickRingSeconds : 0.0), m_sampleRate);
}

void PluckDetector::takeHop(std::span<const float> hop)
{
    m_history.append(hop);
    std::copy(hop.begin(), hop.end(), m_onsets->in->data);
    aubio_onset_do(m_onsets->onset, m_onsets->in, m_onsets->out);
    if (m_onsets->out->data[0] > 0) {
        // aubio counts frames in 32 bits, which wrap after a day at 44.1 kHz;
        // the onset lies well within that behind the newest frame.
        const uint32_t behind = uint32_t(m_history.end()) - uint32_t(aubio_onset_get_last(m_onsets->onset));
        m_pending.push_back({m_history.end() - int64_t(behind), 0});
    }
}

void PluckDetector::look(StretchFrequencies& frequencies, int64_t end)
{
    m_history.copy(end - int64_t(m_stretch.size()), m_stretch);
    frequencies.analyse(m_stretch);
}

void PluckDetector::judge(PendingOnset onset, std::vector<HeardPluck>& heard)
{
    const int64_t frame = onset.frame;
    if (frame - m_lastJudged > framesOf(kStrumGapSeconds, m_sampleRate) ||
        frame - m_strumStart > framesOf(kLongestStrumSeconds, m_sampleRate))
        m_strumStart = frame;
    m_lastJudged = frame;
    look(m_before, m_strumStart);
    look(m_early, frame + framesOf(kEarlyEndSeconds, m_sampleRate));
    look(m_after, afterEnd(frame));
    const bool click = nearClick(frame);
    const OnsetTines started = tinesStartedAt({m_before, m_early, m_after, click ? kMostFallNearClick : kMostFall}, m_tuning);

    const int64_t later = frame + framesOf(kLookAgainSeconds, m_sampleRate);
    const bool onsetThere = m_pending.size() > 1 && m_pending[1].frame <= frame + framesOf(kOnsetThereSeconds, m_sampleRate);
    if ((!started.tines.empty() || started.laterTone) && !click && !onsetThere && onset.looksAgain < kMostLooksAgain)
        m_pending.insert(m_pending.begin() + 1, {later, onset.looksAgain + 1});

    HeardPluck pluck{frame, {}};
    for (int tine : started.tines) {
        int64_t& last = m_lastHeard[size_t(tine - 1)];
        if (frame - last < framesOf(kSameTineSeconds, m_sampleRate))
            continue;
        last = frame;
        pluck.tines.push_back(tine);
    }
    if (!pluck.tines.empty())
        heard.push_back(std::move(pluck));
}
