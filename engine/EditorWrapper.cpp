#include "EditorWrapper.h"

#include "../editor/PluginEditor.h"

#include <juce_events/juce_events.h>

EditorWrapper::EditorWrapper (BolvanePluginAudioProcessor& processorToUse,
                              ParameterModel& parameterModelToUse,
                              PlayHandler& playHandlerToUse)
    : processor (processorToUse),
      parameterModel (parameterModelToUse),
      playHandler (playHandlerToUse),
      lifetime (std::make_shared<EditorWrapper*> (this))
{
}

EditorWrapper::~EditorWrapper() = default;

template <typename Function>
void EditorWrapper::onRow (int pad, Function&& function)
{
    if (pad < 0 || pad >= (int) sampleLoaded.size())
        return;

    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        if (editor != nullptr)
            function (editor->drumPads[(size_t) pad]);
        return;
    }

    // The editor may be opened or closed on the message thread meanwhile, and the processor may be
    // gone by the time the message runs: look both up again there.
    std::weak_ptr<EditorWrapper*> weakLifetime = lifetime;
    juce::MessageManager::callAsync (
        [weakLifetime, pad, function]
        {
            if (const auto alive = weakLifetime.lock())
                if (auto* openEditor = (*alive)->editor)
                    function (openEditor->drumPads[(size_t) pad]);
        });
}

void EditorWrapper::updateRow (int pad, RowUpdate update)
{
    onRow (pad,
           [update] (DrumPadComponent& row)
           {
               switch (update)
               {
                   case RowUpdate::samplePath: row.samplePathUpdated(); break;
                   case RowUpdate::muted: row.mutedUpdated(); break;
                   case RowUpdate::soloed: row.soloedUpdated(); break;
                   case RowUpdate::cutGroup: row.cutGroupUpdated(); break;
                   case RowUpdate::pitch: row.pitchUpdated(); break;
                   case RowUpdate::decay: row.decayUpdated(); break;
                   case RowUpdate::pan: row.panUpdated(); break;
                   case RowUpdate::level: row.levelUpdated(); break;
                   case RowUpdate::output: row.outputUpdated(); break;
               }
           });
}

void EditorWrapper::sampleLoadedUpdated (int pad)
{
    // onRow runs this only while the wrapper exists.
    onRow (pad,
           [this, pad] (DrumPadComponent& row)
           {
               row.sampleLoadedUpdated (sampleLoaded[(size_t) pad].load (std::memory_order_seq_cst));
           });
}

void EditorWrapper::playingUpdated (int pad, bool playing)
{
    onRow (pad,
           [playing] (DrumPadComponent& row)
           {
               row.playingUpdated (playing);
           });
}
