#include "app/listening.h"

#include "doc/settings_store.h"
#include "listen/sound_inputs.h"
#include "play/play_clock.h"

#include <QFile>

#include <cmath>
#include <limits>

void appendToListenLog(const QString& line)
{
    static const QString logFile = qEnvironmentVariable("ZOLVA_LISTEN_LOG");
    QFile log(logFile);
    if (!logFile.isEmpty() && log.open(QIODevice::Append | QIODevice::Text))
        log.write(QString::number(midiClockMicros()).toLatin1() + ' ' + line.toUtf8() + '\n');
}

Listening::Listening(SoundInputs& inputs, QObject* parent) : QObject(parent), m_inputs(inputs)
{
    connect(this, &Listening::tunerRead, this, [](const TunerReading& reading) {
        appendToListenLog(QString::asprintf("tuner %d %.2f %.2f", reading.nearest.tine, reading.nearest.cents, reading.hz));
    });
}

Listening::~Listening()
{
    stop();
}

bool Listening::start(const std::function<SoundInput::Blocks(int sampleRate)>& analysis)
{
    stop();
    {
        // A tuning asked for while nothing listened is the past: the new
        // analysis starts with the tuning it is given.
        std::lock_guard lock(m_mutex);
        m_newTuning.reset();
    }
    m_input = m_inputs.open(readSettingText(SettingKey::ListenDevice));
    if (!m_input || !m_input->start(analysis(m_input->sampleRate()))) {
        m_input.reset();
        return false;
    }
    emit listeningChanged(true);
    return true;
}

bool Listening::startTuner(const TineTuning& tuning)
{
    return start([this, tuning](int rate) -> SoundInput::Blocks {
        // The analysis belongs to the input's thread from here on.
        auto tuner = std::make_shared<Tuner>(rate, tuning);
        return [this, tuner, rate](std::span<const float> samples) mutable {
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
        };
    });
}

bool Listening::startPlayAlong(const TineTuning& tuning)
{
    return start([this, tuning](int rate) -> SoundInput::Blocks {
        auto detector = std::make_shared<PluckDetector>(rate, tuning);
        return [this, detector, rate](std::span<const float> samples) {
            for (const HeardPluck& pluck : detector->feed(samples)) {
                const int64_t micros = pluck.frame * 1000000 / rate;
                QMetaObject::invokeMethod(
                    this, [this, tines = pluck.tines, micros] { emit plucked(tines, micros); }, Qt::QueuedConnection);
            }
        };
    });
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
