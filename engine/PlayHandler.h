#pragma once

#include <juce_events/juce_events.h>

class AudioRenderer;
class EditorWrapper;

// Colours the play buttons by the renderer's light counters every 50 ms, and carries play-button
// clicks to the renderer. Message thread only.
class PlayHandler : private juce::Timer
{
public:
    PlayHandler (EditorWrapper& editorWrapper, AudioRenderer& audioRenderer);
    ~PlayHandler() override;

    void playPad (int pad);

private:
    static constexpr int timerPeriodMs = 50;

    void timerCallback() override;

    EditorWrapper& editorWrapper;
    AudioRenderer& audioRenderer;
};
