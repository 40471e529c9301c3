#include "app/listening.h"

#include "doc/settings_store.h"
#include "listen/sound_inputs.h"
#include "play/play_clock.h"

#include <QFile>

#include <cmath>
#include <limits>

Listening::Listening(SoundInputs& inputs, QObject* parent)
    : QObject(parent), m_inputs(inputs), m_logFile(qEnvironmentVariable("ZOLVA_LISTEN_LOG"))
{
    if (m_logFile.isEmpty())
        return;
    connect(this, &Listening::tunerRead, this, [this](const TunerReading& reading) {
        QFile log(m_logFile);
        if (log.open(QIODevice::Append | QIODevice::Text))
            log.write(QString::asprintf("%lld %d %.2f %.2f\n", static_cast<long long>(midiClockMicros()),
                                        reading.nearest.tine, reading.nearest.cents, reading.hz)
                          .toLatin1());
    });
}

Listening::~Listening()
{
    stop();
}

bool Listening::startTuner(const TineTuning& tuning)
{
    stop();
    m_input = m_inputs.open(readSettingText(SettingKey::ListenDevice));
    if (!m_input)
        return false;
    // The analysis belongs to the input's thread from here on.
    const int rate = m_input->sampleRate();
    auto tuner = std::make_shared<Tuner>(rate, tuning);
    const bool started = m_input->start([this, tuner, rate](std::span<const float> samples) mutable {
        {
            std::lock_guard lock(m_mutex);
            if (m_newTuning)
                tuner = std::make_shared<Tuner>(rate, *std::exchange(m_newTuning, nullptr));
        }
        const std::optional<TunerReading> reading = tuner->feed(samples);
        if (!reading)
            return;
        std::vector<double> cents;
        for (const std::optional<double>& c : tuner->tineCents())
            cents.push_back(c.value_or(std::numeric_limits<double>::quiet_NaN()));
        QMetaObject::invokeMethod(
            this, [this, r = *reading, cents] { emit tunerRead(r, cents); }, Qt::QueuedConnection);
    });
    if (!started) {
        m_input.reset();
        return false;
    }
    emit listeningChanged(true);
    return true;
}

void Listening::setTuning(const TineTuning& tuning)
{
    std::lock_guard lock(m_mutex);
    m_newTuning = std::make_unique<TineTuning>(tuning);
}

void Listening::stop()
{
    if (!m_input)
        return;
    m_input->stop();
    m_input.reset();
    emit listeningChanged(false);
}
