#include "Support.h"

using namespace qm70;

// A kit as a host restores it, {} standing for its folder. No clap.wav is written: that load fails.
const juce::String kit =
    R"(<BolvaneState><DrumPad SamplePath="{}kick.wav"/><DrumPad SamplePath="{}clap.wav" Pitch="-5"/>
<DrumPad SamplePath="{}snare.wav" Pitch="3" Decay="80" Pan="-4" Level="-6" Output="1" Soloed="1"/>
<DrumPad SamplePath="{}hat closed.aif" CutGroup="0" Decay="30" Pan="10" Level="-10" Output="2"/>
<DrumPad SamplePath="{}hat open.aif" CutGroup="0" Pan="10" Level="-8" Output="2"/>
<DrumPad SamplePath="{}tom low.wav" CutGroup="1" Pitch="-24" Pan="-25" Output="3"/>
<DrumPad SamplePath="{}tom high.wav" CutGroup="1" Pitch="24" Pan="25" Output="3" Muted="1"/>
<DrumPad SamplePath="{}cowbell.wav" CutGroup="3" Level="-70" Output="5" Muted="1" Soloed="1"/>
<DrumPad SamplePath="{}crash.wav" Decay="75" Output="5"/><DrumPad SamplePath="{}ride.wav" Pan="-6"/>
<DrumPad SamplePath="{}rim.wav" CutGroup="2" Decay="0" Level="30" Output="4"/><DrumPad/></BolvaneState>)";

// With QM70_WRITE_PICTURE set, draws the README's picture anew instead (scripts/render-editor.sh).
TEST (EditorPicture, ARestoredKitPlayedAndClickedDrawsPixelForPixelAsTheReadmePicture)
{
    const TempFolder folder;
    for (const auto& value : juce::StringArray::fromTokens (kit, "\"", ""))
        if (value.startsWith ("{}") && value != "{}clap.wav")
            writeAudio (folder.file (value.substring (2)), { wave (480) }, 48000.0, 16);
    Plugin plugin;
    plugin.restore (kit.replace ("{}", folder.folder.getFullPathName() + "/").toStdString());
    plugin.openEditor();
    render (plugin.processor, midi ({ { 0, juce::MidiMessage::noteOn (1, 36, 1.0f) } }), 64);
    plugin.row (10).buttonClicked (&child<juce::Button> (plugin.row (10), "mute button"));
    plugin.row (1).buttonClicked (&child<juce::Button> (plugin.row (1), "solo button"));
    settle(); // the clicks, the write-backs and the play-light timer
    const juce::Image picture = plugin.editor->createComponentSnapshot (plugin.editor->getLocalBounds(), true, 1.0f);
    const juce::Image reference = juce::ImageFileFormat::loadFrom (juce::File (QM70_EDITOR_PICTURE));
    const juce::Rectangle<int> both = picture.getBounds().getUnion (reference.getBounds());
    int differing = 0;
    for (int y = 0; y < both.getHeight(); ++y)
        for (int x = 0; x < both.getWidth(); ++x)
            differing += picture.getPixelAt (x, y) != reference.getPixelAt (x, y) ? 1 : 0;
    const char* const rewrite = std::getenv ("QM70_WRITE_PICTURE");
    const juce::File out = rewrite != nullptr
                               ? juce::File (QM70_EDITOR_PICTURE)
                               : juce::File::getCurrentWorkingDirectory().getChildFile ("editor-drawn.png");
    if ((rewrite != nullptr || differing != 0) && out.deleteFile())
        juce::PNGImageFormat().writeImageToStream (picture, *out.createOutputStream());
    EXPECT_EQ (rewrite != nullptr ? 0 : differing, 0)
        << "pixels unlike the README's picture; drawn in " << out.getFullPathName();
}

TEST (LookAndFeel, TableGivesFortyEightPaletteColoursToTheWindowsAndMarksEightyOneSlotsUnchosen)
{
    BolvaneLookAndFeel look; // every id set before the table is marked, so only what the table writes counts
    for (int id = 0x1000000; id < 0x1100000; ++id)
        if (look.isColourSpecified (id))
            look.setColour (id, juce::Colour (0x12345678));
    look.initializeColours();
    std::map<juce::uint32, int> ids;
    for (int id = 0x1000000; id < 0x1100000; ++id)
        ids[look.findColour (id).getARGB()] += look.isColourSpecified (id) ? 1 : 0;
    juce::String counts;
    for (const juce::uint32 argb :
         { 0x0u, 0xFF282828u, 0xFF3C3C3Cu, 0xFF555555u, 0xFFB4B4B4u, 0xFFEBEBEBu, 0xFF0078B4u, 0xFF0000FFu })
        counts << ids[argb] << " ";
    EXPECT_EQ (counts, "8 8 6 3 14 8 1 81 ");
}

TEST (EditorWindow, OpensLoggedClosesUnreachableAndTakesClicksOnTheLogoOrSubtitleInTheAboutButton)
{
    Plugin plugin;
    plugin.openEditor();
    EXPECT_EQ (logLines().back(), "Constructing PluginEditor.");
    auto& editor = dynamic_cast<BolvanePluginAudioProcessorEditor&> (*plugin.editor);
    juce::String seen;
    for (const auto point : { juce::Point<int> (0, 1), { 263, 32 }, { 264, 20 }, { 150, 33 }, { 768, 34 } })
        seen << editor.headerComponent.getComponentAt (point)->getName() << "|";
    for (auto* heading : editor.padLegendComponent.getChildren())
        seen << dynamic_cast<juce::Label&> (*heading).getTooltip() << "|";
    for (auto* child : editor.headerComponent.getChildren()) // the subtitle opens no editor on a click
        if (auto* label = dynamic_cast<juce::Label*> (child))
            seen << label->getText() << (int) label->isEditable() << "|";
        else
            seen << child->getName() << ":" << dynamic_cast<juce::Button&> (*child).getButtonText() << "|";
    EXPECT_EQ (seen, "about button|about button||sub name label|varnolt button|Cut group|Sample filename|Pitch shift "
                     "in semitones|Decay amount|Pan amount|Level in dB|Output routing|name button:new button|Drum "
                     "Sample Player0|varnolt button:|about button:new button|");
    plugin.editor.reset(); // engine-side updates must find no window from here on
    EXPECT_EQ (plugin.processor.editorWrapper.editor, nullptr);
}

TEST (LookAndFeel, EveryWindowKeepsThePlugInsLookWhileAnyInstanceLives)
{
    for (const bool newestGoesFirst : { true, false })
    {
        auto first = std::make_unique<Plugin>(), second = std::make_unique<Plugin>();
        (newestGoesFirst ? second : first).reset();
        auto& survivor = newestGoesFirst ? *first : *second;
        survivor.openEditor();
        EXPECT_EQ (survivor.editor->createComponentSnapshot ({ 0, 0, 2, 2 }).getPixelAt (1, 1).getARGB(), 0xFF555555u);
        survivor.editor.reset();
    }
    EXPECT_EQ (dynamic_cast<BolvaneLookAndFeel*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
}
