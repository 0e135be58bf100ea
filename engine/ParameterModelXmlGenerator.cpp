#include "ParameterModelXmlGenerator.h"

#include "ParameterModel.h"

#include <juce_core/juce_core.h>

ParameterModelXmlGenerator::ParameterModelXmlGenerator (const ParameterModel& parameterModelToUse)
    : parameterModel (parameterModelToUse)
{
}

std::string ParameterModelXmlGenerator::generateXml() const
{
    juce::XmlElement root ("BolvaneState");

    // Each pad is copied whole under the model's lock, so a pad is never written half edited.
    for (int pad = 0; pad < ParameterModel::numPads; ++pad)
    {
        const auto parameters = parameterModel.getPad (pad);
        auto* element = root.createNewChildElement ("DrumPad");
        element->setAttribute ("SamplePath", juce::String (parameters.samplePath));
        element->setAttribute ("CutGroup", parameters.cutGroup);
        element->setAttribute ("Pitch", parameters.pitch);
        element->setAttribute ("Decay", parameters.decay);
        element->setAttribute ("Pan", parameters.pan);
        element->setAttribute ("Level", parameters.level);
        element->setAttribute ("Output", parameters.output);
        element->setAttribute ("Muted", parameters.muted ? 1 : 0);
        element->setAttribute ("Soloed", parameters.soloed ? 1 : 0);
    }

    // Always a text child, even an empty one: an empty folder is written as a start tag followed
    // by its end tag, not as an empty-element tag.
    root.createNewChildElement ("LastDirectory")->addTextElement (juce::String (parameterModel.getLastDirectory()));

    // The writer's default format is the state text's format: UTF-8 declaration, CR LF, two-space
    // indent, attributes wrapped after 60 characters, everything beyond ASCII as character references.
    return root.toString().toStdString();
}
