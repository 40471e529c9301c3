#include "listen/microphone_input.h"

#include <QAudioSource>
#include <QIODevice>
#include <QThread>

#include <algorithm>

#include <vector>

namespace {

constexpr int kWantedRate = 44100;

// The format asked of the device: mono floats at 44.1 kHz, else the
// device's own.
QAudioFormat formatFor(const QAudioDevice& device)
{
    QAudioFormat wanted;
    wanted.setSampleRate(kWantedRate);
    wanted.setChannelCount(1);
    wanted.setSampleFormat(QAudioFormat::Float);
    return device.isFormatSupported(wanted) ? wanted : device.preferredFormat();
}

// Frames of format in bytes, mixed down to mono floats.
void toMono(const QAudioFormat& format, const QByteArray& bytes, std::vector<float>& mono)
{
    const int channels = std::max(1, format.channelCount());
    const int frameBytes = format.bytesPerFrame();
    mono.clear();
    if (frameBytes <= 0)
        return;
    for (qsizetype at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
        float sum = 0.0f;
        for (int c = 0; c < channels; ++c)
            sum += format.normalizedSampleValue(bytes.constData() + at + c * format.bytesPerSample());
        mono.push_back(sum / float(channels));
    }
}

} // namespace

MicrophoneInput::MicrophoneInput(const QAudioDevice& device) : m_device(device), m_format(formatFor(device)) {}

MicrophoneInput::~MicrophoneInput()
{
    stop();
}

bool MicrophoneInput::start(Blocks blocks)
{
    stop();
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("listening"));
    m_reader = new QObject;
    m_reader->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_reader, &QObject::deleteLater);
    m_thread->start();
    bool started = false;
    QMetaObject::invokeMethod(
        m_reader,
        [this, &started, blocks = std::move(blocks)] {
            auto* source = new QAudioSource(m_device, m_format, m_reader);
            QIODevice* io = source->start();
            started = io && source->error() == QAudio::NoError;
            if (!started)
                return;
            auto mono = std::make_shared<std::vector<float>>();
            QObject::connect(io, &QIODevice::readyRead, m_reader, [this, io, mono, blocks] {
                toMono(m_format, io->readAll(), *mono);
                if (!mono->empty())
                    blocks(*mono);
            });
        },
        Qt::BlockingQueuedConnection);
    if (!started)
        stop();
    return started;
}

void MicrophoneInput::stop()
{
    if (!m_thread)
        return;
    // The source stops and goes with its reader on the thread that made it.
    QMetaObject::invokeMethod(
        m_reader,
        [this] {
            for (QAudioSource* source : m_reader->findChildren<QAudioSource*>())
                source->stop();
        },
        Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    m_reader = nullptr;
}
