#include "Support.h"

#include "editor/FileWalker.h"

#include <clocale>

using namespace qm70;

TEST (StateGuards, WhatThePlugInSavesItRestoresAndOnlyDeepNestingIsRefusedWithAReason)
{
    Plugin saved, restored;
    const std::string quotes (900000, '"');
    saved.processor.parameterModel.setPitch (11, 7);
    saved.processor.parameterModel.setLastDirectory (quotes);
    restored.restore (saved.save());
    EXPECT_EQ (restored.pad (11).pitch, 7);
    EXPECT_TRUE (restored.processor.parameterModel.getLastDirectory() == quotes);

    std::string flat = "<BolvaneState>", deep = "<BolvaneState><DrumPad Pitch=\"3\">";
    for (int i = 0; i < 300; ++i)
        flat += "<DrumPad Pitch=\"5\"/>";
    for (int i = 0; i < 3000; ++i)
        deep += "<a>";
    restored.restore (flat + "</BolvaneState>");
    restored.restore (deep);
    EXPECT_EQ (restored.pad (0).pitch, 5);
    EXPECT_EQ (restored.pad (11).pitch, 5);
    EXPECT_TRUE (logLines().back() == "State text refused: its elements nest too deep.");
}

TEST (FolderStepping, OrderIsTheSameUnderEveryLocale)
{
    TempFolder folder;
    for (const char* name : { "a.wav", "z.wav", "\xC3\xA4.wav", "\xC3\x94.wav" })
        folder.file (juce::String::fromUTF8 (name)).create();
    for (const char* locale : { "C", "C.UTF-8" })
    {
        ASSERT_NE (std::setlocale (LC_ALL, locale), nullptr);
        EXPECT_EQ (FileWalker::getNextFile (folder.path ("z.wav")),
                   folder.path (juce::String::fromUTF8 ("\xC3\xA4.wav")));
        EXPECT_EQ (FileWalker::getPreviousFile (folder.path ("a.wav")),
                   folder.path (juce::String::fromUTF8 ("\xC3\x94.wav")));
    }
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
