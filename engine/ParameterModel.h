#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class EditorWrapper;
class ParameterTranslator;
class SampleBufferHandler;

// What the user has set for the twelve pads, and the folder the browse dialog last showed. Every
// change goes through one set operation, which stores the value, has the translator publish the
// engine value and, for the sample path, loads the file.
class ParameterModel
{
public:
    struct DrumPadParameters
    {
        std::string samplePath; // UTF-8, empty = no sample
        int32_t cutGroup = -1;  // -1 = none, else 0..3
        int32_t pitch = 0;      // half-semitones, -24..24
        int32_t decay = 100;    // 0..100, 100 = no decay
        int32_t pan = 0;        // -25 (left)..25 (right)
        int32_t level = 0;      // half-decibels, -70..30
        int32_t output = 0;     // stereo output bus 0..5
        bool muted = false;
        bool soloed = false;
    };

    static constexpr int numPads = 12;

    ParameterModel (EditorWrapper& editorWrapper,
                    ParameterTranslator& parameterTranslator,
                    SampleBufferHandler& sampleBufferHandler);
    ~ParameterModel();

    void setSamplePath (int pad, const std::string& path);
    void setMuted (int pad, bool muted);
    void setSoloed (int pad, bool soloed);
    void setCutGroup (int pad, int cutGroup);
    void setPitch (int pad, int pitch);
    void setDecay (int pad, int decay);
    void setPan (int pad, int pan);
    void setLevel (int pad, int level);
    void setOutput (int pad, int output);

    // Consistent copies for readers on any thread (the state writer on the host's thread, the
    // editor on the message thread).
    DrumPadParameters getPad (int pad) const;
    std::string getLastDirectory() const;
    void setLastDirectory (const std::string& directory);

private:
    friend class ParameterTranslator;
    // The state reader refreshes the rows after the value setters, which don't do it themselves.
    friend class ParameterModelXmlParser;

    EditorWrapper& editorWrapper;
    ParameterTranslator& parameterTranslator;
    SampleBufferHandler& sampleBufferHandler;
    std::vector<DrumPadParameters> pads;
    std::string lastDirectory;

    // The host may save or restore on its own thread while the user edits on the message thread.
    // Held for a store and its translation, never across a sample load or a widget update.
    mutable std::mutex mutex;

    // Held across a path's store and its load.
    std::mutex sampleMutex;
};
