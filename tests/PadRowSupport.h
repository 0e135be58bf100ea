#pragma once

#include "TestSupport.h"
#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <stdexcept>

// A processor with its editor open, as a host holds them, and the way into a pad row's widgets.
namespace padrow_support
{
// The child widget with the given component name; throws (failing the test) if there is none.
template <typename Widget>
Widget& child (juce::Component& parent, const juce::String& name)
{
    for (auto* component : parent.getChildren())
        if (auto* widget = dynamic_cast<Widget*> (component); widget != nullptr && component->getName() == name)
            return *widget;
    throw std::runtime_error ("no child widget named " + name.toStdString());
}

// Long enough for every posted change notice and row update to be delivered.
inline void settle()
{
    testing_support::runMessageLoop (100);
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
