#pragma once

#include <array>
#include <atomic>
#include <memory>

class BolvanePluginAudioProcessor;
class BolvanePluginAudioProcessorEditor;
class DrumPadComponent;
class ParameterModel;
class PlayHandler;

// The one door through which engine-side code reaches the editor's widgets.
class EditorWrapper
{
public:
    EditorWrapper (BolvanePluginAudioProcessor& processor, ParameterModel& parameterModel, PlayHandler& playHandler);
    ~EditorWrapper();

    // Row display operations that engine-side code may ask for.
    enum class RowUpdate
    {
        samplePath,
        muted,
        soloed,
        cutGroup,
        pitch,
        decay,
        pan,
        level,
        output
    };

    // Refreshes one widget of pad's row if an editor is open. Runs at once on the message thread;
    // from any other thread it is posted there and skipped if the editor (or this wrapper) is gone
    // by the time it runs.
    void updateRow (int pad, RowUpdate update);
    // Shows the pad's sampleLoaded flag as it stands when the update runs, so a posted update
    // can't undo a later load's colour.
    void sampleLoadedUpdated (int pad);
    void playingUpdated (int pad, bool playing);

    BolvanePluginAudioProcessor& processor;
    ParameterModel& parameterModel;
    PlayHandler& playHandler;

    // Set by createEditor, cleared by the editor's destructor; read and written on the message
    // thread only.
    BolvanePluginAudioProcessorEditor* editor = nullptr;

    // Whether each pad's current sample holds at least one frame. Written by loads on any thread,
    // read by createEditor.
    std::array<std::atomic<bool>, 12> sampleLoaded{};

private:
    template <typename Function>
    void onRow (int pad, Function&& function);

    // Lets messages posted from other threads find out whether this wrapper still exists.
    std::shared_ptr<EditorWrapper*> lifetime;
};
