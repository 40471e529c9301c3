#pragma once

#include <functional>
#include <span>

// Sound coming in: mono samples in -1 … 1 at sampleRate(), handed over in
// blocks on the input's own thread while it runs. The program listens to a
// microphone; tests feed files.
class SoundInput {
public:
    using Blocks = std::function<void(std::span<const float> samples)>;

    virtual ~SoundInput() = default;
    virtual int sampleRate() const = 0;
    // Starts handing blocks to blocks; false when the input cannot open.
    virtual bool start(Blocks blocks) = 0;
    // Stops and returns once no block is being handed over any more.
    virtual void stop() = 0;
};
