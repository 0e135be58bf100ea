#pragma once

// Helpers for the engine's tests: a renderer playing entries made here, MIDI, sample files, the log.

#include "TestSupport.h"

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace engine_test
{
using namespace testing_support;
using Slots = std::vector<std::pair<int, int>>;

// Left and right gain at pan angle π/4 and level 1: sqrt(cos(π/4) · 0.5).
constexpr double centreGain = 0.5946035575013605;

inline std::unique_ptr<SampleBufferEntry>
makeEntry (const std::vector<float>& left, const std::vector<float>& right, double rateRatio = 1.0)
{
    auto entry = std::make_unique<SampleBufferEntry>();
    entry->buffer.setSize (2, (int) left.size());
    std::copy (left.begin(), left.end(), entry->buffer.getWritePointer (0));
    std::copy (right.begin(), right.end(), entry->buffer.getWritePointer (1));
    entry->sampleRateRatio = rateRatio;
    return entry;
}

// A renderer whose pads each play a 0.5 DC entry owned here.
struct Rig
{
    Rig()
    {
        for (int pad = 0; pad < AudioRenderer::numPads; ++pad)
            setSample (pad, std::vector<float> (1000, 0.5f));
    }

    void setSample (int pad, const std::vector<float>& samples)
    {
        entries.push_back (makeEntry (samples, samples));
        renderer.pads[(size_t) pad].buffer.store (entries.back().get(), std::memory_order_release);
    }

    AudioRenderer renderer;
    std::vector<std::unique_ptr<SampleBufferEntry>> entries;
};

// The sounding slots, each with its pad.
inline Slots soundingSlots (const AudioRenderer& renderer)
{
    Slots slots;
    for (int slot = 0; slot < AudioRenderer::numVoices; ++slot)
        if (renderer.voices[(size_t) slot].buffer != nullptr)
            slots.emplace_back (slot, renderer.voices[(size_t) slot].padIndex);
    return slots;
}

inline juce::MidiMessage noteOn (int note, int velocity = 127, int channel = 1)
{
    return juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity);
}

inline juce::MidiBuffer midi (std::initializer_list<std::pair<int, juce::MidiMessage>> events)
{
    juce::MidiBuffer buffer;
    for (const auto& [position, message] : events)
        buffer.addEvent (message, position);
    return buffer;
}

// One block through the renderer or the processor, returned. The host's buffer comes full of junk.
template <typename Engine>
juce::AudioBuffer<float> runBlock (Engine& engine, juce::MidiBuffer events = {}, int numSamples = 64, int channels = 12)
{
    juce::AudioBuffer<float> buffer (channels, numSamples);
    for (int channel = 0; channel < channels; ++channel)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (channel), 0.125f, numSamples);
    engine.processBlock (buffer, events);
    return buffer;
}

inline std::vector<float> sine (int length, float scale = 0.5f, double omega = 0.05)
{
    std::vector<float> samples ((size_t) length);
    for (int i = 0; i < length; ++i)
        samples[(size_t) i] = scale * (float) std::sin (omega * i);
    return samples;
}

// The log's lines from line `from` on that start with the prefix.
inline std::vector<std::string> logLines (const std::string& prefix, size_t from = 0)
{
    std::vector<std::string> lines;
    const auto all = testing_support::readLogLines();
    for (size_t i = from; i < all.size(); ++i)
        if (all[i].rfind (prefix, 0) == 0)
            lines.push_back (all[i]);
    return lines;
}
} // namespace engine_test
