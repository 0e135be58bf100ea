#include "DisplayLikeAHost.h"
#include "TestSupport.h"
#include "editor/BolvaneLookAndFeel.h"
#include "editor/HeaderComponent.h"
#include "engine/Shared.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace
{
template <typename Type>
Type* child (juce::Component& parent, const juce::String& name)
{
    for (auto* c : parent.getChildren())
        if (c->getName() == name)
            return dynamic_cast<Type*> (c);
    return nullptr;
}

// Fixes the look for the whole test, whatever processors other tests made.
struct ScopedDefaultLookAndFeel
{
    ScopedDefaultLookAndFeel() { juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel); }
    ~ScopedDefaultLookAndFeel() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }
    BolvaneLookAndFeel lookAndFeel;
};

juce::Image snapshot (juce::Component& component)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
}

bool samePixels (const juce::Image& a, const juce::Image& b)
{
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;
    return true;
}

// Runs the message loop until done() holds or the time is up.
bool runUntil (const std::function<bool()>& done, int milliseconds)
{
    for (int waited = 0; waited < milliseconds && ! done(); waited += 20)
        testing_support::runMessageLoop (20);
    return done();
}
} // namespace

TEST (HeaderStrip, FourChildrenAtTheirPlaces)
{
    HeaderComponent header;
    EXPECT_EQ (header.getBounds(), juce::Rectangle<int> (0, 0, 832, 36));

    const struct
    {
        const char* name;
        juce::Rectangle<int> bounds;
        const char* text;
    } children[] = {
        { "name button", { 8, 8, 75, 25 }, "new button" },
        { "sub name label", { 86, 13, 150, 24 }, "Drum Sample Player" },
        { "varnolt button", { 768, 13, 58, 22 }, "" },
        { "about button", { 0, 1, 264, 32 }, "new button" },
    };

    // Creation order is stacking order: the about button lies on top.
    ASSERT_EQ (header.getNumChildComponents(), 4);
    for (int i = 0; i < 4; ++i)
    {
        auto* component = header.getChildComponent (i);
        EXPECT_EQ (component->getName(), children[i].name);
        EXPECT_EQ (component->getBounds(), children[i].bounds) << children[i].name;
        EXPECT_TRUE (component->isVisible());
        if (auto* button = dynamic_cast<juce::Button*> (component))
            EXPECT_EQ (button->getButtonText(), children[i].text) << children[i].name;
        else if (auto* label = dynamic_cast<juce::Label*> (component))
            EXPECT_EQ (label->getText(), children[i].text);
    }

    auto* subName = child<juce::Label> (header, "sub name label");
    ASSERT_NE (subName, nullptr);
    EXPECT_TRUE (subName->getTooltip().isEmpty());
    EXPECT_FLOAT_EQ (subName->getFont().getHeight(), 15.0f);
    EXPECT_EQ (subName->getFont().getTypefaceStyle(), "Regular");
    EXPECT_EQ (subName->getJustificationType(), juce::Justification::centredLeft);
    EXPECT_FALSE (subName->isEditableOnSingleClick());
    EXPECT_FALSE (subName->isEditableOnDoubleClick());
    EXPECT_FALSE (subName->doesLossOfFocusDiscardChanges());
    EXPECT_EQ (subName->findColour (juce::TextEditor::textColourId), juce::Colours::black);
    EXPECT_EQ (subName->findColour (juce::TextEditor::backgroundColourId).getARGB(), 0x00000000u);
    EXPECT_FALSE (subName->isColourSpecified (juce::Label::textColourId));
}

TEST (HeaderStrip, ClicksLandOnTheAboutButtonOverTheProductNameAndOnTheMakerLogo)
{
    HeaderComponent header;
    header.setVisible (true); // as the editor shows it

    const struct
    {
        const char* where;
        juce::Point<int> point;
        const char* target; // nullptr: the strip itself
    } cases[] = {
        { "about button's top left", { 0, 1 }, "about button" },
        { "product logo", { 40, 20 }, "about button" },
        { "subtitle", { 150, 25 }, "about button" },
        { "about button's bottom right", { 263, 32 }, "about button" },
        { "subtitle's rows below the about button", { 150, 33 }, "sub name label" },
        { "subtitle's last row in the strip", { 150, 35 }, "sub name label" },
        { "strip's top row", { 100, 0 }, nullptr },
        { "right of the about button", { 264, 20 }, nullptr },
        { "bare strip", { 500, 20 }, nullptr },
        { "maker logo's top left", { 768, 13 }, "varnolt button" },
        { "maker logo's bottom right", { 825, 34 }, "varnolt button" },
        { "left of the maker logo", { 767, 20 }, nullptr },
        { "right of the maker logo", { 826, 20 }, nullptr },
    };

    for (const auto& c : cases)
    {
        const auto* hit = header.getComponentAt (c.point);
        ASSERT_NE (hit, nullptr) << c.where;
        if (c.target == nullptr)
            EXPECT_EQ (hit, &header) << c.where;
        else
            EXPECT_EQ (hit->getName(), c.target) << c.where;
    }
}

TEST (HeaderStrip, LogosComeFromTheEmbeddedPictures)
{
    HeaderComponent header;

    const struct
    {
        const char* button;
        int width;
        int height;
        juce::uint32 ink;
        int margin; // rows and columns of bare ground on each side
    } logos[] = {
        { "name button", 300, 76, 0xFFB4B4B4, 0 },
        { "varnolt button", 468, 180, 0xFF3C3C3C, 1 },
    };

    for (const auto& logo : logos)
    {
        auto* button = child<juce::ImageButton> (header, logo.button);
        ASSERT_NE (button, nullptr);
        const juce::Image image = button->getNormalImage();
        ASSERT_EQ (image.getWidth(), logo.width) << logo.button;
        ASSERT_EQ (image.getHeight(), logo.height) << logo.button;
        EXPECT_TRUE (button->getOverImage() == image);
        EXPECT_TRUE (button->getDownImage() == image);

        // Opaque greys from the editor's background to the ink, the ink itself among them.
        const juce::uint8 ground = 0x55;
        const juce::Colour ink (logo.ink);
        const juce::uint8 darkest = std::min (ground, ink.getRed()), lightest = std::max (ground, ink.getRed());
        bool inkSeen = false;
        int inkTop = logo.height, inkBottom = -1, inkLeft = logo.width, inkRight = -1;
        for (int y = 0; y < logo.height; ++y)
            for (int x = 0; x < logo.width; ++x)
            {
                const juce::Colour pixel = image.getPixelAt (x, y);
                ASSERT_EQ (pixel.getAlpha(), 255);
                ASSERT_TRUE (pixel.getRed() == pixel.getGreen() && pixel.getGreen() == pixel.getBlue());
                ASSERT_TRUE (pixel.getRed() >= darkest && pixel.getRed() <= lightest);
                inkSeen = inkSeen || pixel == ink;
                if (pixel.getRed() != ground)
                {
                    inkTop = std::min (inkTop, y);
                    inkBottom = std::max (inkBottom, y);
                    inkLeft = std::min (inkLeft, x);
                    inkRight = std::max (inkRight, x);
                }
            }
        EXPECT_TRUE (inkSeen) << logo.button;

        // The word mark fills the picture up to its margin.
        EXPECT_EQ (inkTop, logo.margin) << logo.button;
        EXPECT_EQ (inkLeft, logo.margin) << logo.button;
        EXPECT_EQ (inkBottom, logo.height - 1 - logo.margin) << logo.button;
        EXPECT_EQ (inkRight, logo.width - 1 - logo.margin) << logo.button;
    }

    auto* about = child<juce::ImageButton> (header, "about button");
    ASSERT_NE (about, nullptr);
    EXPECT_TRUE (about->getNormalImage().isNull());
}

TEST (HeaderStrip, CommittedPicturesAreEightBitRgba)
{
    for (const char* name : { "qm70_logo_52.png", "varnolt_dark_96.png" })
    {
        juce::MemoryBlock png;
        ASSERT_TRUE (juce::File (QM70_RESOURCES_DIR).getChildFile (name).loadFileAsData (png)) << name;
        ASSERT_GT (png.getSize(), 26u);
        const auto* bytes = static_cast<const juce::uint8*> (png.getData());
        // IHDR: bit depth at byte 24, colour type at 25 (6 = RGB with alpha).
        EXPECT_EQ (bytes[24], 8) << name;
        EXPECT_EQ (bytes[25], 6) << name;
    }
}

TEST (HeaderStrip, LogosShowOnTheBareStripAndNeverChangeOnHoverOrPress)
{
    HeaderComponent header;

    const juce::Image normal = snapshot (header);

    // The product logo keeps its proportions: 75 x 19, centred 3 px down in its 75 x 25 button.
    // Scaled pictures fade by a few steps of alpha at their right edge, hence "nearly opaque".
    const auto nearlyOpaque = [&] (int x, int y)
    {
        return normal.getPixelAt (x, y).getAlpha() >= 0xF0;
    };
    const auto clear = [&] (int x, int y)
    {
        return normal.getPixelAt (x, y).getAlpha() == 0;
    };
    for (int x = 8; x < 83; ++x)
    {
        EXPECT_TRUE (clear (x, 10)) << x;
        EXPECT_TRUE (nearlyOpaque (x, 11)) << x;
        EXPECT_TRUE (nearlyOpaque (x, 29)) << x;
        EXPECT_TRUE (clear (x, 30)) << x;
    }
    EXPECT_TRUE (clear (7, 20));
    EXPECT_TRUE (clear (83, 20));

    // The maker logo is stretched over its whole button.
    for (const auto corner : { juce::Point<int> (768, 13), juce::Point<int> (825, 13), juce::Point<int> (768, 34),
                               juce::Point<int> (825, 34) })
        EXPECT_TRUE (nearlyOpaque (corner.x, corner.y)) << corner.toString();
    EXPECT_TRUE (clear (767, 20));
    EXPECT_TRUE (clear (826, 20));

    // Nothing else: no background of the strip's own.
    EXPECT_TRUE (clear (400, 20));
    EXPECT_TRUE (clear (2, 2));

    for (const auto state : { juce::Button::buttonOver, juce::Button::buttonDown })
    {
        for (const char* name : { "name button", "varnolt button", "about button" })
            child<juce::Button> (header, name)->setState (state);
        EXPECT_TRUE (samePixels (snapshot (header), normal)) << "state " << (int) state;
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
    auto* maker = child<juce::Button> (header, "varnolt button");
    ASSERT_NE (maker, nullptr);

    const auto lines = [&]
    {
        return juce::StringArray::fromLines (launched.loadFileAsString().trimEnd());
    };

    maker->triggerClick();
    EXPECT_TRUE (runUntil (
        [&]
        {
            return launched.existsAsFile();
        },
        5000));
    maker->triggerClick();
    EXPECT_TRUE (runUntil (
        [&]
        {
            return lines().size() == 2;
        },
        5000));
    testing_support::runMessageLoop (200);

    ::setenv ("PATH", oldPath.toRawUTF8(), 1);

    const juce::String address (WEB_ADDRESS);
    EXPECT_EQ (lines(), juce::StringArray (address, address));
}

TEST (HeaderStrip, AboutBoxShowsNameVersionMakerAndOneOkButton)
{
    if (! testing_support::displayLikeAHost())
        GTEST_SKIP() << "needs a display";

    const ScopedDefaultLookAndFeel look;
    HeaderComponent header;

    struct Seen
    {
        int boxes = 0;
        juce::String title, description, buttons;
        juce::Colour background, text;
    } seen;

    // Runs inside the box's modal loop: reads the open box, then dismisses it like a click on OK.
    struct Dismisser : juce::Timer
    {
        explicit Dismisser (Seen& s)
            : seen (s)
        {
            startTimer (20);
        }
        void timerCallback() override
        {
            auto* box = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());
            if (box == nullptr)
                return;
            ++seen.boxes;
            seen.title = box->getName();
            seen.description = box->getDescription();
            for (auto* c : box->getChildren())
                if (auto* button = dynamic_cast<juce::TextButton*> (c))
                    seen.buttons << "[" << button->getButtonText() << "]";
            seen.background = box->findColour (juce::AlertWindow::backgroundColourId);
            seen.text = box->findColour (juce::AlertWindow::textColourId);
            box->exitModalState (0);
        }
        Seen& seen;
    } dismisser (seen);

    // The product logo and the subtitle are not buttons of their own: clicking the logo's
    // button directly opens nothing.
    child<juce::Button> (header, "name button")->triggerClick();
    testing_support::runMessageLoop (300);
    EXPECT_EQ (seen.boxes, 0);

    child<juce::Button> (header, "about button")->triggerClick();
    EXPECT_TRUE (runUntil (
        [&]
        {
            return seen.boxes > 0;
        },
        5000));
    testing_support::runMessageLoop (100);

    EXPECT_EQ (seen.boxes, 1);
    EXPECT_EQ (seen.title, "QM-70 Drum Sample Player");
    // The window describes itself as its title, ". ", then the message.
    const juce::String host = juce::URL (juce::String (WEB_ADDRESS)).getDomain();
    EXPECT_EQ (host, "www.varnolt.example");
    EXPECT_EQ (seen.description, "QM-70 Drum Sample Player. Version 1.1.0\n\nDeveloped by Jorund Halbeck\n\n" + host);
    EXPECT_EQ (seen.buttons, "[OK]");
    EXPECT_EQ (seen.background.getARGB(), 0xFF282828u);
    EXPECT_EQ (seen.text.getARGB(), 0xFFB4B4B4u);
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}
