#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <stdexcept>

#include <string>
#include <vector>

// Helpers shared by the test files: sample files written with JUCE's own writers, the log file,
// and running the message loop.
namespace testing_support
{
// A folder under the test's temporary HOME, emptied at construction and removed at destruction.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();

    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }
    std::string path (const juce::String& name) const { return file (name).getFullPathName().toStdString(); }
    const juce::File& get() const { return folder; }

private:
    juce::File folder;
};

enum class Format
{
    wav,
    aiff,
    flac,
    ogg
};

// Writes channels[c][i] as an audio file of the given format, rate and bit depth (32 = float where
// the format has it). Returns false if JUCE refused to make a writer.
bool writeSampleFile (const juce::File& file,
                      Format format,
                      const std::vector<std::vector<float>>& channels,
                      double sampleRate,
                      int bitsPerSample);

// The whole log file of this process, as written so far.
std::string readLog();

// The log's lines, without their line ends.
std::vector<std::string> readLogLines();

// The child widget of parent with the given component name; throws (failing the test) if there is none.
template <typename Widget>
Widget& child (juce::Component& parent, const juce::String& name)
{
    for (auto* component : parent.getChildren())
        if (auto* widget = dynamic_cast<Widget*> (component); widget != nullptr && component->getName() == name)
            return *widget;
    throw std::runtime_error ("no child widget named " + name.toStdString());
}

// Runs the message loop for the given time, so posted messages and timers are delivered.
void runMessageLoop (int milliseconds);
} // namespace testing_support
