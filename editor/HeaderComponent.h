#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The strip below the pad rows: product logo and subtitle (opening the about box) and the maker's
// logo (opening the maker's web page).
class HeaderComponent
    : public juce::Component
    , public juce::Button::Listener
{
public:
    HeaderComponent();
    ~HeaderComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

private:
    std::unique_ptr<juce::ImageButton> nameButton;
    std::unique_ptr<juce::Label> subNameLabel;
    std::unique_ptr<juce::ImageButton> makerButton;
    std::unique_ptr<juce::ImageButton> aboutButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HeaderComponent)
};
