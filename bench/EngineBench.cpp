// The pad engine against what a JUCE developer would reach for instead (juce::Synthesiser with
// SamplerVoices), on the same samples and the same MIDI; and the cost of loading a long sample.

#include "engine/PluginProcessor.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace
{
constexpr double hostRate = 48000.0;
// The loader's host rate, as the entries read it.
const std::atomic<double> hostRateValue{ hostRate };
constexpr double fileRate = 44100.0; // both engines step 0.91875 source samples per output sample
constexpr int numPads = 12;
constexpr int numVoices = 28;
constexpr int numChannels = 12; // six stereo outputs
constexpr int firstNote = 48;
constexpr int cycleSamples = 48000;     // every voice restarts once a second of output
constexpr int sampleFrames = 3 * 44100; // long enough to outlast a voice left over from a cycle

// Twelve 32-bit float stereo WAV files in memory, one per pad.
const std::vector<juce::MemoryBlock>& sampleFiles()
{
    static const std::vector<juce::MemoryBlock> files = []
    {
        std::vector<juce::MemoryBlock> made;
        for (int pad = 0; pad < numPads; ++pad)
        {
            juce::MemoryBlock block;
            {
                auto stream = std::make_unique<juce::MemoryOutputStream> (block, false);
                juce::WavAudioFormat wav;
                std::unique_ptr<juce::AudioFormatWriter> writer (
                    wav.createWriterFor (stream.release(), fileRate, 2, 32, {}, 0));
                juce::AudioBuffer<float> samples (2, sampleFrames);
                for (int i = 0; i < sampleFrames; ++i)
                {
                    const float decay = std::exp (-3.0f * (float) i / (float) sampleFrames);
                    samples.setSample (0, i, decay * (float) std::sin (0.01 * (pad + 1) * i));
                    samples.setSample (1, i, decay * (float) std::cos (0.013 * (pad + 1) * i));
                }
                writer->writeFromAudioSampleBuffer (samples, 0, sampleFrames);
            }
            made.push_back (block);
        }
        return made;
    }();
    return files;
}

std::unique_ptr<juce::AudioFormatReader> readerFor (int pad)
{
    const auto& file = sampleFiles()[(size_t) pad];
    juce::WavAudioFormat wav;
    return std::unique_ptr<juce::AudioFormatReader> (
        wav.createReaderFor (new juce::MemoryInputStream (file.getData(), file.getSize(), false), true));
}

// One cycle's MIDI: every pad twice in the first block (24 voices), pads 0 to 3 once more in the
// second (the four cut-group slots for our engine). The two channel sets alternate by cycle so
// that JUCE's synthesiser, which ends a note hit again on its own channel, restarts every voice
// instead.
juce::MidiBuffer firstBlockMidi (int cycle)
{
    juce::MidiBuffer midi;
    for (int hit = 0; hit < 2; ++hit)
        for (int pad = 0; pad < numPads; ++pad)
            midi.addEvent (juce::MidiMessage::noteOn (1 + hit + 3 * (cycle % 2), firstNote + pad, (juce::uint8) 100),
                           0);
    return midi;
}

juce::MidiBuffer secondBlockMidi (int cycle)
{
    juce::MidiBuffer midi;
    for (int pad = 0; pad < 4; ++pad)
        midi.addEvent (juce::MidiMessage::noteOn (3 + 3 * (cycle % 2), firstNote + pad, (juce::uint8) 100), 0);
    return midi;
}

void reportRate (benchmark::State& state, int blockSize, int fewestVoices)
{
    state.SetItemsProcessed ((int64_t) state.iterations() * numVoices * blockSize);
    state.counters["s_per_voice_sample"] = benchmark::Counter (
        (double) numVoices * blockSize, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["fewest_voices"] = fewestVoices;
}

void ourEngine (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);

    AudioRenderer renderer;
    std::vector<std::unique_ptr<SampleBufferEntry>> entries;
    for (int pad = 0; pad < numPads; ++pad)
    {
        auto reader = readerFor (pad);
        auto entry = std::make_unique<SampleBufferEntry>();
        entry->buffer.setSize (2, (int) reader->lengthInSamples);
        reader->read (&entry->buffer, 0, (int) reader->lengthInSamples, 0, true, true);
        entry->fileSampleRate = reader->sampleRate;
        entry->hostSampleRate = &hostRateValue;
        renderer.pads[(size_t) pad].buffer.store (entry.get(), std::memory_order_release);
        renderer.pads[(size_t) pad].output.store (pad % 6, std::memory_order_seq_cst);
        // A decaying pad by default; the second argument 0 keeps the default pad (no decay).
        renderer.pads[(size_t) pad].decayFactor.store (state.range (1) != 0 ? 0.1 : 1.0, std::memory_order_seq_cst);
        entries.push_back (std::move (entry));
    }

    juce::AudioBuffer<float> buffer (numChannels, blockSize);
    const juce::MidiBuffer midi[2][2] = { { firstBlockMidi (0), secondBlockMidi (0) },
                                          { firstBlockMidi (1), secondBlockMidi (1) } };
    const juce::MidiBuffer none;
    const int blocksPerCycle = cycleSamples / blockSize;
    int fewestVoices = numVoices;
    int block = 0;
    int cycle = 0;

    for (auto _ : state)
    {
        if (block == 0)
        {
            for (int pad = 0; pad < 4; ++pad)
                renderer.pads[(size_t) pad].cutGroup.store (-1, std::memory_order_seq_cst);
            renderer.processBlock (buffer, midi[cycle % 2][0]);
            for (int pad = 0; pad < 4; ++pad)
                renderer.pads[(size_t) pad].cutGroup.store (pad, std::memory_order_seq_cst);
        }
        else
        {
            renderer.processBlock (buffer, block == 1 ? midi[cycle % 2][1] : none);
        }
        benchmark::DoNotOptimize (buffer.getReadPointer (0));

        if (++block == blocksPerCycle)
        {
            int sounding = 0;
            for (const auto& voice : renderer.voices)
                sounding += voice.buffer != nullptr ? 1 : 0;
            fewestVoices = std::min (fewestVoices, sounding);
            block = 0;
            ++cycle;
        }
    }
    reportRate (state, blockSize, fewestVoices);
}

void juceSynthesiser (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);

    juce::Synthesiser synth;
    for (int voice = 0; voice < numVoices; ++voice)
        synth.addVoice (new juce::SamplerVoice());
    for (int pad = 0; pad < numPads; ++pad)
    {
        auto reader = readerFor (pad);
        juce::BigInteger note;
        note.setBit (firstNote + pad);
        synth.addSound (new juce::SamplerSound ("pad", *reader, note, firstNote + pad, 0.0, 0.1, 10.0));
    }
    synth.setCurrentPlaybackSampleRate (hostRate);

    juce::AudioBuffer<float> buffer (numChannels, blockSize);
    const juce::MidiBuffer midi[2][2] = { { firstBlockMidi (0), secondBlockMidi (0) },
                                          { firstBlockMidi (1), secondBlockMidi (1) } };
    const juce::MidiBuffer none;
    const int blocksPerCycle = cycleSamples / blockSize;
    int fewestVoices = numVoices;
    int block = 0;
    int cycle = 0;

    for (auto _ : state)
    {
        // A plug-in clears its outputs before the synthesiser adds into them.
        buffer.clear();
        synth.renderNextBlock (buffer, block == 0 ? midi[cycle % 2][0] : (block == 1 ? midi[cycle % 2][1] : none), 0,
                               blockSize);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));

        if (++block == blocksPerCycle)
        {
            int sounding = 0;
            for (int voice = 0; voice < synth.getNumVoices(); ++voice)
                sounding += synth.getVoice (voice)->isVoiceActive() ? 1 : 0;
            fewestVoices = std::min (fewestVoices, sounding);
            block = 0;
            ++cycle;
        }
    }
    reportRate (state, blockSize, fewestVoices);
}

// A minute of 48 kHz stereo 24-bit audio, written once.
juce::File longWavFile()
{
    static const juce::File file = []
    {
        auto made = juce::File::createTempFile ("qm70-bench-60s.wav");
        constexpr int frames = 60 * 48000;
        juce::AudioBuffer<float> samples (2, frames);
        for (int i = 0; i < frames; ++i)
        {
            samples.setSample (0, i, 0.5f * (float) std::sin (0.001 * i));
            samples.setSample (1, i, 0.5f * (float) std::cos (0.0013 * i));
        }
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (new juce::FileOutputStream (made), 48000.0, 2, 24, {}, 0));
        writer->writeFromAudioSampleBuffer (samples, 0, frames);
        return made;
    }();
    return file;
}

// The whole of loadSample, its 25 ms wait for the audio thread included; with the wait taken out
// when subtractWait is set.
void loadLongSample (benchmark::State& state, bool subtractWait)
{
    const auto path = longWavFile().getFullPathName().toStdString();
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> buffer (12, 512);
    juce::MidiBuffer none;

    for (auto _ : state)
    {
        // A block between loads reports the previous entry unused, so each load frees the last.
        processor.processBlock (buffer, none);
        const auto start = std::chrono::steady_clock::now();
        processor.sampleBufferHandler.loadSample (0, path);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime (elapsed.count() - (subtractWait ? 0.025 : 0.0));
    }
}
} // namespace

// Side by side: ours (decaying pads, then default pads), then JUCE's, at each block size.
BENCHMARK (ourEngine)->Args ({ 64, 1 })->Args ({ 64, 0 });
BENCHMARK (juceSynthesiser)->Arg (64);
BENCHMARK (ourEngine)->Args ({ 512, 1 })->Args ({ 512, 0 });
BENCHMARK (juceSynthesiser)->Arg (512);
BENCHMARK_CAPTURE (loadLongSample, whole_call, false)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (loadLongSample, without_25ms_wait, true)->UseManualTime()->Unit (benchmark::kMillisecond);
