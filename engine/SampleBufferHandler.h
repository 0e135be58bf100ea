#pragma once

#include "Voice.h"

#include <list>
#include <mutex>
#include <string>
#include <vector>

class AudioRenderer;
class EditorWrapper;

// Owns every decoded sample of the twelve pads and hands them to the audio thread without a lock:
// a new entry is published by one pointer store, and older entries are freed once the audio thread
// no longer reports their sequence numbers.
class SampleBufferHandler
{
public:
    SampleBufferHandler (EditorWrapper& editorWrapper, AudioRenderer& audioRenderer);
    ~SampleBufferHandler();

    // Decodes the file whole and publishes it as the pad's sample; blocks the caller for the
    // decoding plus a short wait. Never called on the audio thread.
    void loadSample (int pad, const std::string& path);

    // The host's rate, from prepareToPlay. Every loaded sample plays at its file's rate over it,
    // those loaded before included; a rate that is not a positive number changes nothing.
    void setSampleRate (double rate);

    // Host rate in Hz; a stand-in of 44100 until the host reports one.
    std::atomic<double> sampleRate{ 44100.0 };

private:
    // Time the audio thread gets to finish a block after a publish before the sweep.
    static constexpr int handOverWaitMs = 25;

    void freeUnusedEntries();

    // Per pad, oldest first. std::list so entries never move.
    std::vector<std::list<SampleBufferEntry>> sampleBuffers;
    EditorWrapper& editorWrapper;
    AudioRenderer& audioRenderer;

    // A state restore on the host's thread and a user's load on the message thread must not touch
    // the lists at once.
    std::mutex loadMutex;
};
