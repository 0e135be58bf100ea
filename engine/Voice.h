#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <cstdint>

// One decoded sample. Created and freed only by SampleBufferHandler; never copied or moved once
// appended to a pad's list, so the audio thread can hold plain pointers to it.
struct SampleBufferEntry
{
    // Two channels whenever it holds samples; 0 channels when no decoder could read the file.
    juce::AudioBuffer<float> buffer;

    // The file's own rate; 0 when no decoder could read it.
    double fileSampleRate = 0.0;

    // The host's rate, kept by the loader. The ratio is taken from it at every render call, so
    // when the host changes its rate every loaded sample stays in tune.
    const std::atomic<double>* hostSampleRate = nullptr;

    int32_t sequenceNo = 1;

    // Source samples per output sample at the sample's own pitch; 1 where a rate is unknown.
    double sampleRateRatio() const
    {
        return fileSampleRate > 0.0 && hostSampleRate != nullptr
                   ? fileSampleRate / hostSampleRate->load (std::memory_order_relaxed)
                   : 1.0;
    }
};

// Audio-side record of one pad. Every field is its own atomic: the message side publishes ready
// engine values here and the audio thread reads them at every render call. There is no consistency
// across fields.
struct RendererPadState
{
    // The pad's newest entry. Stored with release ordering once the entry is filled, loaded with
    // acquire ordering by the audio thread.
    std::atomic<const SampleBufferEntry*> buffer{ nullptr };

    std::atomic<double> gain{ 1.0 };
    std::atomic<double> panAngle{ 0.7853981633974483 };
    std::atomic<double> decayFactor{ 1.0 };
    std::atomic<double> pitchRatio{ 1.0 };
    std::atomic<int32_t> cutGroup{ -1 };
    std::atomic<int32_t> output{ 0 };

    // Lowest sequence number the audio side may still read; -1 until the first block has ended.
    std::atomic<int32_t> lowestSequenceNoInUse{ -1 };

    // Written and read by the audio thread only, atomic so the record stays one uniform kind.
    std::atomic<int32_t> nextAlternateVoice{ 0 };
    std::atomic<int32_t> activeVoiceCount{ 0 };

    // Block ends left to show the pad as playing; read by the play-light timer.
    std::atomic<int32_t> lightCounter{ 0 };
};

// One playing slot. Touched by the audio thread alone.
class Voice
{
public:
    // Adds this voice into one stereo pair for one segment and ends it at the end of its sample.
    void process (float* left, float* right, int numSamples);

    // Renders several samples at once where the processor can. Tests switch it off to compare
    // the plain path bit for bit; nothing else touches it.
    static inline bool useVectorPath = true;

    const SampleBufferEntry* buffer = nullptr; // null = idle
    RendererPadState* padState = nullptr;      // valid while buffer is set
    int32_t padIndex = 0;                      // valid while buffer is set
    double position = 0.0;                     // read position in source samples
    double currentGain = 1.0;                  // velocity gain times the decay so far

private:
    // The pan gains and the decay multiplier of the last call, with the exact bits of the values
    // they came from: the same bits in give the same bits out, and the sine, cosine, roots and
    // power cost more than a short segment's samples.
    struct PanGains
    {
        bool valid = false;
        uint64_t panAngleBits = 0;
        uint64_t gainBits = 0;
        double left = 0.0;
        double right = 0.0;
    };

    struct DecayStep
    {
        bool valid = false;
        uint64_t decayFactorBits = 0;
        uint64_t stepBits = 0;
        int length = 0;
        double multiplier = 1.0;
    };

    PanGains panGains;
    DecayStep decayStep;
};
