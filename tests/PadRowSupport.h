#pragma once

#include "editor/PluginEditor.h"
#include "engine/PluginProcessor.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

// A processor with its editor open, as a host holds them, and the way into a pad row's widgets.
namespace padrow_support
{
// The row's child widget with the given component name; throws (failing the test) if it has none.
template <typename Widget>
Widget& child (juce::Component& parent, const juce::String& name)
{
    for (auto* component : parent.getChildren())
        if (component->getName() == name)
            if (auto* widget = dynamic_cast<Widget*> (component))
                return *widget;

    throw std::runtime_error ("no child widget named " + name.toStdString());
}

struct OpenEditor
{
    OpenEditor() = default;

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

// A display to open windows on: tests of real windows skip without one.
inline bool hasDisplay()
{
    const char* display = std::getenv ("DISPLAY");
    if (display == nullptr || *display == 0)
        return false;
    return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
}
} // namespace padrow_support
