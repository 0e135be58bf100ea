#pragma once

// Helpers for the engine's tests: sample entries made in the test, MIDI blocks, and the voice
// arithmetic written out independently (in double, rounded to float where the design rounds), so
// expected output never comes from the code under test.

#include "engine/AudioRenderer.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace engine_test
{
constexpr double centreAngle = 0.7853981633974483;    // π/4
constexpr double hardRightAngle = 1.5707963267948966; // π/2

inline std::unique_ptr<SampleBufferEntry>
makeEntry (const std::vector<float>& left, const std::vector<float>& right, double ratio = 1.0, int32_t sequenceNo = 1)
{
    auto entry = std::make_unique<SampleBufferEntry>();
    entry->buffer.setSize (2, (int) left.size());
    for (size_t i = 0; i < left.size(); ++i)
    {
        entry->buffer.setSample (0, (int) i, left[i]);
        entry->buffer.setSample (1, (int) i, right[i]);
    }
    entry->sampleRateRatio = ratio;
    entry->sequenceNo = sequenceNo;
    return entry;
}

// A renderer whose pads each play an entry owned here.
struct Rig
{
    Rig()
    {
        for (int pad = 0; pad < AudioRenderer::numPads; ++pad)
            setSample (pad, std::vector<float> (1000, 0.5f));
    }

    SampleBufferEntry& setSample (int pad, const std::vector<float>& samples, double ratio = 1.0)
    {
        entries.push_back (makeEntry (samples, samples, ratio, (int32_t) entries.size() + 1));
        renderer.pads[(size_t) pad].buffer.store (entries.back().get(), std::memory_order_release);
        return *entries.back();
    }

    AudioRenderer renderer;
    std::vector<std::unique_ptr<SampleBufferEntry>> entries;
};

inline juce::MidiBuffer midi (std::initializer_list<std::pair<int, juce::MidiMessage>> events)
{
    juce::MidiBuffer buffer;
    for (const auto& [position, message] : events)
        buffer.addEvent (message, position);
    return buffer;
}

inline juce::MidiMessage noteOn (int note, int velocity, int channel = 1)
{
    return juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity);
}

// Runs one block of the given size and returns it.
inline juce::AudioBuffer<float>
runBlock (AudioRenderer& renderer, const juce::MidiBuffer& events = {}, int numSamples = 64, int numChannels = 12)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    buffer.clear();
    renderer.processBlock (buffer, events);
    return buffer;
}

inline bool sameBits (float a, float b)
{
    return std::memcmp (&a, &b, sizeof (float)) == 0;
}

// The pan law: geometric mean of the constant-power and the linear law.
inline double leftGainFor (double panAngle, double gain)
{
    return std::sqrt (std::cos (panAngle) * ((1.5707963267948966 - panAngle) * 0.6366197723675814)) * gain;
}

inline double rightGainFor (double panAngle, double gain)
{
    return std::sqrt ((panAngle * 0.6366197723675814) * std::sin (panAngle)) * gain;
}

// One voice worked the slow way: the right-hand neighbour tested at every sample.
struct ReferenceVoice
{
    std::vector<float> left, right;
    double position = 0.0;
    double currentGain = 1.0;
    bool sounding = true;

    void render (
        float* outLeft, float* outRight, int numSamples, double step, double decayFactor, double panAngle, double gain)
    {
        const int len = (int) left.size();
        const double multiplier = decayFactor == 1.0 ? 1.0 : std::pow (decayFactor, (1.0 / len) * step);
        const double leftGain = leftGainFor (panAngle, gain);
        const double rightGain = rightGainFor (panAngle, gain);
        for (int i = 0; i < numSamples && position < len; ++i)
        {
            const int idx = (int) position;
            const double f = position - idx;
            const float l = (float) ((idx + 1 < len ? (double) left[(size_t) idx + 1] : 0.0) * f +
                                     (double) left[(size_t) idx] * (1.0 - f));
            const float r = (float) ((idx + 1 < len ? (double) right[(size_t) idx + 1] : 0.0) * f +
                                     (double) right[(size_t) idx] * (1.0 - f));
            outLeft[i] = (float) ((double) outLeft[i] + ((double) l * leftGain) * currentGain);
            outRight[i] = (float) ((double) outRight[i] + ((double) r * rightGain) * currentGain);
            position += step;
            currentGain *= multiplier;
        }
        if (position >= len)
            sounding = false;
    }
};
} // namespace engine_test
