#include "play/sound_file_writer.h"

#include <QFileInfo>
#include <QSaveFile>

#include <sndfile.h>

namespace {

// The quality asked of the Vorbis encoder (0 … 1): about 160 kbit/s for
// stereo, plenty for plucked tines and clicks.
constexpr double kVorbisQuality = 0.5;

int formatOf(SoundFileKind kind)
{
    switch (kind) {
    case SoundFileKind::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case SoundFileKind::OggVorbis:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case SoundFileKind::Wav:
        break;
    }
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

// libsndfile reads and writes through the save file, so that the sound lands
// in its temporary file.
QSaveFile& fileOf(void* data) { return *static_cast<QSaveFile*>(data); }

SF_VIRTUAL_IO saveFileIo()
{
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* data) -> sf_count_t { return fileOf(data).size(); };
    io.seek = [](sf_count_t offset, int whence, void* data) -> sf_count_t {
        QSaveFile& file = fileOf(data);
        const sf_count_t base = whence == SEEK_CUR ? file.pos() : whence == SEEK_END ? file.size() : 0;
        return file.seek(base + offset) ? file.pos() : -1;
    };
    io.read = [](void* out, sf_count_t count, void* data) -> sf_count_t {
        // Writing never reads back; the temporary file is open for writing only.
        QSaveFile& file = fileOf(data);
        return file.isReadable() ? file.read(static_cast<char*>(out), count) : 0;
    };
    io.write = [](const void* in, sf_count_t count, void* data) -> sf_count_t {
        return fileOf(data).write(static_cast<const char*>(in), count);
    };
    io.tell = [](void* data) -> sf_count_t { return fileOf(data).pos(); };
    return io;
}

} // namespace

SoundFileKind soundFileKindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("flac"))
        return SoundFileKind::Flac;
    if (suffix == QLatin1String("ogg"))
        return SoundFileKind::OggVorbis;
    return SoundFileKind::Wav;
}

QString soundFileSuffix(SoundFileKind kind)
{
    switch (kind) {
    case SoundFileKind::Flac:
        return QStringLiteral(".flac");
    case SoundFileKind::OggVorbis:
        return QStringLiteral(".ogg");
    case SoundFileKind::Wav:
        break;
    }
    return QStringLiteral(".wav");
}

SoundFileWriter::SoundFileWriter(std::unique_ptr<QSaveFile> file) : m_file(std::move(file)) {}

SoundFileWriter::~SoundFileWriter()
{
    if (m_sound)
        sf_close(m_sound);
    if (m_file)
        m_file->cancelWriting();
}

std::unique_ptr<SoundFileWriter> SoundFileWriter::open(const QString& path, SoundFileKind kind, int sampleRate,
                                                       QString& error)
{
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly)) {
        error = file->errorString();
        return nullptr;
    }
    std::unique_ptr<SoundFileWriter> writer(new SoundFileWriter(std::move(file)));
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = formatOf(kind);
    SF_VIRTUAL_IO io = saveFileIo();
    writer->m_sound = sf_open_virtual(&io, SFM_WRITE, &info, writer->m_file.get());
    if (!writer->m_sound) {
        error = QString::fromLocal8Bit(sf_strerror(nullptr));
        return nullptr;
    }
    if (kind == SoundFileKind::OggVorbis) {
        double quality = kVorbisQuality;
        sf_command(writer->m_sound, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    }
    // Sound beyond full scale is clipped rather than wrapped around.
    sf_command(writer->m_sound, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return writer;
}

bool SoundFileWriter::write(std::span<const float> interleaved)
{
    const sf_count_t frames = sf_count_t(interleaved.size() / 2);
    return m_sound && sf_writef_float(m_sound, interleaved.data(), frames) == frames;
}

QString SoundFileWriter::error() const
{
    return m_file->error() != QFileDevice::NoError ? m_file->errorString()
                                                    : QString::fromLocal8Bit(sf_strerror(m_sound));
}

bool SoundFileWriter::commit(QString& error)
{
    // Closing writes the header's sizes and the encoders' last pages.
    const int closed = m_sound ? sf_close(m_sound) : SF_ERR_UNRECOGNISED_FORMAT;
    m_sound = nullptr;
    bool done = false;
    if (m_file->error() != QFileDevice::NoError)
        error = m_file->errorString();
    else if (closed != SF_ERR_NO_ERROR)
        error = QString::fromLocal8Bit(sf_error_number(closed));
    else if (!(done = m_file->commit()))
        error = m_file->errorString();
    m_file.reset();
    return done;
}
