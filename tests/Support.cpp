#include "Support.h"

#include "engine/Shared.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <dlfcn.h>
#include <fstream>

namespace qm70
{
void writeAudio (const juce::File& file, const std::vector<std::vector<float>>& channels, double rate, int bits)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    auto* format = formats.findFormatForFileExtension (file.getFileExtension());
    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    std::unique_ptr<juce::AudioFormatWriter> writer (
        format->createWriterFor (stream.get(), rate, (unsigned int) channels.size(), bits, {}, 8));
    if (writer == nullptr)
        throw std::runtime_error ("no writer for " + file.getFullPathName().toStdString());
    stream.release(); // the writer owns it now
    std::vector<const float*> pointers;
    for (const auto& channel : channels)
        pointers.push_back (channel.data());
    writer->writeFromFloatArrays (pointers.data(), (int) channels.size(), (int) channels[0].size());
}

std::vector<float> wave (int length, double step, float amplitude)
{
    std::vector<float> samples ((size_t) length);
    for (int i = 0; i < length; ++i)
        samples[(size_t) i] = amplitude * (float) std::sin (step * (i + 1)) * (float) (length - i) / (float) length;
    return samples;
}

std::vector<std::string> logLines()
{
    std::ifstream in (juce::SystemStats::getEnvironmentVariable ("HOME", {}).toStdString() + LOG_FILENAME);
    std::vector<std::string> lines;
    for (std::string line; std::getline (in, line);)
        lines.push_back (line);
    return lines;
}

juce::MidiBuffer midi (std::initializer_list<std::pair<int, juce::MidiMessage>> events)
{
    juce::MidiBuffer buffer;
    for (const auto& [position, message] : events)
        buffer.addEvent (message, position);
    return buffer;
}

juce::AudioBuffer<float>
render (juce::AudioProcessor& processor, const juce::MidiBuffer& events, int length, int blockSize, int channels)
{
    juce::AudioBuffer<float> result (channels, length), block (channels, blockSize);
    for (int start = 0; start < length; start += blockSize)
    {
        const int size = std::min (blockSize, length - start);
        juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), channels, size);
        for (int channel = 0; channel < channels; ++channel)
            juce::FloatVectorOperations::fill (view.getWritePointer (channel), 0.125f, size);
        juce::MidiBuffer slice;
        slice.addEvents (events, start, size, -start);
        processor.processBlock (view, slice);
        for (int channel = 0; channel < channels; ++channel)
            result.copyFrom (channel, start, view, channel, 0, size);
    }
    return result;
}

void settle (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

bool hasDisplay()
{
    const char* display = std::getenv ("DISPLAY");
    if (display == nullptr || *display == 0 ||
        juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
        return false;

    // Hosts install an X error handler of their own and a plug-in's JUCE doesn't: without one, Xlib
    // ends the process at the first error of a bare server without a window manager.
    using Handler = int (*) (void*, void*);
    if (void* x11 = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD))
        if (auto setHandler = reinterpret_cast<Handler (*) (Handler)> (dlsym (x11, "XSetErrorHandler")))
            setHandler (+[] (void*, void*)
                        {
                            return 0;
                        });
    return true;
}

std::string Plugin::save()
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block.toString().toStdString();
}
} // namespace qm70

// Tests run on the message thread, as the editor and the plug-in's timers expect.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
