#pragma once

#include "TestSupport.h"
#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <functional>

// A processor with its editor open, as a host holds them, and the way into a pad row's widgets.
namespace padrow_support
{
using testing_support::child;

// Long enough for every posted change notice and row update to be delivered.
inline void settle()
{
    testing_support::runMessageLoop (100);
}

using DialogAction = std::function<void (juce::FileChooserDialogBox&, juce::FileBrowserComponent&)>;

// Clicks the row's browse button; the action runs on the dialog from inside its modal loop. A dialog
// still open after ten seconds is cancelled, so a browse that never returns fails instead of
// hanging. Returns whether the dialog opened and the action closed it. Needs a display.
inline bool browse (DrumPadComponent& row, DialogAction action)
{
    struct Rescue : private juce::Timer
    {
        Rescue() { startTimer (10000); }
        ~Rescue() override { stopTimer(); }
        void timerCallback() override
        {
            stopTimer();
            if (auto* modal = juce::Component::getCurrentlyModalComponent())
            {
                needed = true;
                modal->exitModalState (0);
            }
        }
        bool needed = false;
    } rescue;

    bool acted = false;
    juce::MessageManager::callAsync (
        [&]
        {
            auto* dialog = dynamic_cast<juce::FileChooserDialogBox*> (juce::Component::getCurrentlyModalComponent());
            if (dialog == nullptr)
                return;
            acted = true;
            // Its content holds the browser first, then the buttons.
            action (*dialog,
                    dynamic_cast<juce::FileBrowserComponent&> (*dialog->getContentComponent()->getChildComponent (0)));
        });
    row.buttonClicked (&child<juce::TextButton> (row, "browse button"));
    settle();
    return acted && ! rescue.needed;
}

struct OpenEditor
{
    // Host order: the editor goes before the processor.
    ~OpenEditor() { editor.reset(); }

    void open() { editor.reset (processor.createEditor()); }
    DrumPadComponent& row (int pad)
    {
        return dynamic_cast<BolvanePluginAudioProcessorEditor&> (*editor).drumPads[(size_t) pad];
    }
    ParameterModel::DrumPadParameters pad (int pad) const { return processor.parameterModel.getPad (pad); }
    RendererPadState& engine (int pad) { return processor.audioRenderer.pads[(size_t) pad]; }

    BolvanePluginAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
};
} // namespace padrow_support
