#include "DisplayLikeAHost.h"
#include "TestSupport.h"
#include "editor/HeaderComponent.h"
#include "engine/PluginProcessor.h"
#include "engine/Shared.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
using testing_support::child;

// Within `area`: the bounds of the pixels with any alpha, and the lowest and highest ARGB values.
juce::String inkIn (const juce::Image& image, juce::Rectangle<int> area)
{
    juce::Rectangle<int> bounds;
    juce::uint32 lowest = 0xFFFFFFFF, highest = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (const juce::uint32 argb = image.getPixelAt (x, y).getARGB(); argb != 0)
            {
                bounds = bounds.getUnion ({ x, y, 1, 1 });
                lowest = std::min (lowest, argb);
                highest = std::max (highest, argb);
            }
    return bounds.toString() + " " + juce::String::toHexString (lowest) + "-" + juce::String::toHexString (highest);
}
} // namespace

TEST (HeaderStrip, FourChildrenAtTheirPlacesWithTheAboutButtonOnTop)
{
    HeaderComponent header;
    header.setVisible (true); // as the editor shows it
    // Names and bounds, in creation order.
    const char* const children[] = { "name button 8 8 75 25", "sub name label 86 13 150 24",
                                     "varnolt button 768 13 58 22", "about button 0 1 264 32" };
    ASSERT_EQ (header.getNumChildComponents(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (header.getChildComponent (i)->getName() + " " + header.getChildComponent (i)->getBounds().toString(),
                   children[i]);
    auto* subName = &child<juce::Label> (header, "sub name label");
    ASSERT_NE (subName, nullptr);
    // Set as the legend's headings are, but with no tooltip.
    EXPECT_EQ (subName->getText(), "Drum Sample Player");
    EXPECT_TRUE (subName->getTooltip().isEmpty());
    EXPECT_EQ (subName->getFont().getTypefaceStyle() + " " + juce::String (subName->getFont().getHeight()),
               "Regular 15");
    EXPECT_EQ (subName->getJustificationType(), juce::Justification::centredLeft);
    EXPECT_FALSE (subName->isEditableOnSingleClick() || subName->isEditableOnDoubleClick());

    // The about button, clear as it is, takes the clicks on the product logo and the subtitle.
    juce::StringArray hits;
    for (const auto point : { juce::Point<int> (40, 20), { 263, 32 }, { 150, 34 }, { 800, 20 }, { 500, 20 } })
        if (const auto* hit = header.getComponentAt (point))
            hits.add (hit == &header ? "strip" : hit->getName());
    EXPECT_EQ (hits.joinIntoString (", "), "about button, about button, sub name label, varnolt button, strip");
}

TEST (HeaderStrip, LogosAreTheEmbeddedPicturesDrawnOnTheBareStripAlikeInEveryState)
{
    HeaderComponent header;
    // Opaque greys from the editor's ground (0x55) to the ink, over the whole picture.
    for (const auto& [name, ink] : { std::pair ("name button", "0 0 300 76 ff555555-ffb4b4b4"),
                                     std::pair ("varnolt button", "0 0 468 180 ff3c3c3c-ff555555") })
    {
        auto* button = &child<juce::ImageButton> (header, name);
        ASSERT_NE (button, nullptr);
        const juce::Image image = button->getNormalImage();
        EXPECT_EQ (inkIn (image, image.getBounds()), ink);
        EXPECT_TRUE (button->getOverImage() == image && button->getDownImage() == image) << name;
    }
    EXPECT_TRUE (child<juce::ImageButton> (header, "about button").getNormalImage().isNull());

    // The product logo keeps its proportions: 75 x 19, 3 px down in its button. The maker logo is
    // stretched over its whole button. Both are opaque but for a few steps of alpha that scaling
    // costs. Between the subtitle and the maker logo: bare strip.
    const juce::Image normal = header.createComponentSnapshot (header.getLocalBounds());
    EXPECT_EQ (inkIn (normal, { 0, 0, 86, 36 }), "8 11 75 19 fd545454-ffb4b4b4");
    EXPECT_EQ (inkIn (normal, { 240, 0, 592, 36 }), "768 13 58 22 fd3b3b3b-ff555555");

    for (const auto state : { juce::Button::buttonOver, juce::Button::buttonDown })
    {
        for (const char* name : { "name button", "varnolt button", "about button" })
            child<juce::Button> (header, name).setState (state);
        const juce::Image changed = header.createComponentSnapshot (header.getLocalBounds());
        int differing = 0;
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 832; ++x)
                differing += changed.getPixelAt (x, y) != normal.getPixelAt (x, y) ? 1 : 0;
        EXPECT_EQ (differing, 0) << "state " << (int) state;
    }
}

TEST (HeaderStrip, MakerLogoOpensTheMakersPageOncePerClick)
{
    // A stand-in browser first on the search path notes each address it is asked to open.
    const testing_support::TempFolder folder;
    const juce::File launched = folder.file ("launched.txt");
    const juce::File opener = folder.file ("xdg-open");
    ASSERT_TRUE (opener.replaceWithText ("#!/bin/sh\necho \"$1\" >> '" + launched.getFullPathName() + "'\n", false,
                                         false, "\n"));
    ASSERT_TRUE (opener.setExecutePermission (true));
    const juce::String oldPath = juce::SystemStats::getEnvironmentVariable ("PATH", {});
    ::setenv ("PATH", (folder.get().getFullPathName() + ":" + oldPath).toRawUTF8(), 1);

    HeaderComponent header;
    child<juce::Button> (header, "varnolt button").triggerClick();
    child<juce::Button> (header, "varnolt button").triggerClick();
    for (int waited = 0; waited < 5000 && ! launched.loadFileAsString().trimEnd().containsChar ('\n'); waited += 20)
        testing_support::runMessageLoop (20);
    testing_support::runMessageLoop (200); // time for a third launch, were there one
    ::setenv ("PATH", oldPath.toRawUTF8(), 1);

    EXPECT_EQ (launched.loadFileAsString(), juce::String (WEB_ADDRESS) + "\n" + WEB_ADDRESS + "\n");
}

TEST (HeaderStrip, AboutBoxShowsNameVersionMakerAndOneOkButton)
{
    if (! testing_support::displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    const BolvanePluginAudioProcessor processor; // installs the look-and-feel the box draws with
    HeaderComponent header;

    // Runs inside the box's modal loop: reads the open box, then dismisses it like a click on OK.
    struct Dismisser : juce::Timer
    {
        Dismisser() { startTimer (20); }
        void timerCallback() override
        {
            if (auto* box = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent()))
            {
                seen << "[" << box->getDescription() << "]";
                for (auto* c : box->getChildren())
                    if (auto* button = dynamic_cast<juce::TextButton*> (c))
                        seen << "[" << button->getButtonText() << "]";
                seen << box->findColour (juce::AlertWindow::backgroundColourId).toString() << " "
                     << box->findColour (juce::AlertWindow::textColourId).toString();
                box->exitModalState (0);
            }
        }
        juce::String seen;
    } dismisser;

    child<juce::Button> (header, "about button").triggerClick();
    for (int waited = 0; waited < 5000 && dismisser.seen.isEmpty(); waited += 20)
        testing_support::runMessageLoop (20);
    testing_support::runMessageLoop (100);

    // One box; it describes itself as its title, ". ", then the message, which ends in the maker's host.
    const juce::String host = juce::URL (juce::String (WEB_ADDRESS)).getDomain();
    EXPECT_EQ (host, "www.varnolt.example");
    EXPECT_EQ (dismisser.seen, "[QM-70 Drum Sample Player. Version 1.1.0\n\nDeveloped by Jorund Halbeck\n\n" + host +
                                   "][OK]ff282828 ffb4b4b4");
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}
