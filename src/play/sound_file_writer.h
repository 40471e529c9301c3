#pragma once

#include <QString>

#include <memory>
#include <span>

class QSaveFile;
struct sf_private_tag;

enum class SoundFileKind { Wav, Flac, OggVorbis };

// The kind a file name asks for by its extension (".wav", ".flac", ".ogg"),
// WAV for any other.
SoundFileKind soundFileKindOf(const QString& path);
// The file name extension of kind, with its dot.
QString soundFileSuffix(SoundFileKind kind);

// Writes stereo sound to a file whole or not at all: into a temporary file
// that commit() renames into place. A writer destroyed before commit()
// leaves no file and an existing one untouched.
class SoundFileWriter {
public:
    // Null when the file cannot be started; error says why.
    static std::unique_ptr<SoundFileWriter> open(const QString& path, SoundFileKind kind, int sampleRate,
                                                 QString& error);
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    // Appends interleaved stereo frames (samples in -1 … 1); false on failure.
    bool write(std::span<const float> interleaved);
    // Why the last write failed.
    QString error() const;
    // Finishes the file and puts it in place; false with error otherwise.
    bool commit(QString& error);

private:
    explicit SoundFileWriter(std::unique_ptr<QSaveFile> file);

    std::unique_ptr<QSaveFile> m_file;
    sf_private_tag* m_sound = nullptr;
};
