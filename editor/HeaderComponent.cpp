#include "HeaderComponent.h"

#include "../engine/Shared.h"

#include "resource_HeaderComponent_qm70_logo_52_png.h"
#include "resource_HeaderComponent_varnolt_dark_96_png.h"

namespace
{
constexpr int headerWidth = 832;
constexpr int headerHeight = 36;

// Fixed texts, like the version they name: the about box doesn't follow the build's numbers.
const char* const aboutTitle = "QM-70 Drum Sample Player";
const char* const aboutMessage = "Version 1.1.0\n\nDeveloped by Jorund Halbeck\n\nwww.varnolt.example";

// Same picture in every state with a clear overlay: hovering or pressing a logo changes nothing.
void showInEveryState (juce::ImageButton& button, const juce::Image& image, bool preserveProportions, float opacity)
{
    const juce::Colour noOverlay (0x00000000);
    button.setImages (false, true, preserveProportions, image, opacity, noOverlay, image, opacity, noOverlay, image,
                      opacity, noOverlay, 0.0f);
}
} // namespace

HeaderComponent::HeaderComponent()
{
    nameButton = std::make_unique<juce::ImageButton> ("name button");
    addAndMakeVisible (*nameButton);
    nameButton->setButtonText (juce::translate ("new button"));
    nameButton->addListener (this);
    showInEveryState (*nameButton,
                      juce::ImageCache::getFromMemory (resource_HeaderComponent_qm70_logo_52_png,
                                                       resource_HeaderComponent_qm70_logo_52_pngSize),
                      true, 1.0f);
    nameButton->setBounds (8, 8, 75, 25);

    subNameLabel = std::make_unique<juce::Label> ("sub name label", juce::translate ("Drum Sample Player"));
    addAndMakeVisible (*subNameLabel);
    subNameLabel->setFont (juce::Font (15.0f, juce::Font::plain).withTypefaceStyle ("Regular"));
    subNameLabel->setJustificationType (juce::Justification::centredLeft);
    subNameLabel->setEditable (false, false, false);
    subNameLabel->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    subNameLabel->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    subNameLabel->setBounds (86, 13, 150, 24);

    makerButton = std::make_unique<juce::ImageButton> ("varnolt button");
    addAndMakeVisible (*makerButton);
    makerButton->setButtonText (juce::String());
    makerButton->addListener (this);
    // Stretched to the whole button: the logo's proportions give way to the strip's.
    showInEveryState (*makerButton,
                      juce::ImageCache::getFromMemory (resource_HeaderComponent_varnolt_dark_96_png,
                                                       resource_HeaderComponent_varnolt_dark_96_pngSize),
                      false, 1.0f);
    makerButton->setBounds (768, 13, 58, 22);

    // Invisible, on top of the product logo and the subtitle, so a click on either opens the
    // about box.
    aboutButton = std::make_unique<juce::ImageButton> ("about button");
    addAndMakeVisible (*aboutButton);
    aboutButton->setButtonText (juce::translate ("new button"));
    aboutButton->addListener (this);
    showInEveryState (*aboutButton, juce::Image(), true, 0.0f);
    aboutButton->setBounds (0, 1, 264, 32);

    setSize (headerWidth, headerHeight);
}

HeaderComponent::~HeaderComponent()
{
    // Released in creation order; each button goes with its listener list.
    nameButton = nullptr;
    subNameLabel = nullptr;
    makerButton = nullptr;
    aboutButton = nullptr;
}

void HeaderComponent::paint (juce::Graphics&) {}
void HeaderComponent::resized() {}

void HeaderComponent::buttonClicked (juce::Button* button)
{
    if (button == nameButton.get())
        return;

    if (button == makerButton.get())
    {
        // A browser that won't start is nothing the user must be told about.
        juce::URL (juce::String (WEB_ADDRESS)).launchInDefaultBrowser();
        return;
    }

    if (button == aboutButton.get())
        juce::AlertWindow::showMessageBox (juce::AlertWindow::NoIcon, aboutTitle, aboutMessage, juce::String(), this);
}
