#include "TestSupport.h"
#include "editor/FileWalker.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

using testing_support::TempFolder;

namespace
{
// Listing and stepping look at names only: empty files will do.
void touch (const TempFolder& folder, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        ASSERT_TRUE (folder.file (juce::String::fromUTF8 (name)).create()) << name;
}

struct Step
{
    const char* from;
    const char* previous;
    const char* next;
};

// Each case steps from one name in the folder; expected results are names in the same folder.
void expectSteps (const TempFolder& folder, std::initializer_list<Step> steps)
{
    for (const auto& step : steps)
    {
        const std::string from = folder.path (juce::String::fromUTF8 (step.from));
        EXPECT_EQ (FileWalker::getPreviousFile (from), folder.path (juce::String::fromUTF8 (step.previous)))
            << "previous from " << step.from;
        EXPECT_EQ (FileWalker::getNextFile (from), folder.path (juce::String::fromUTF8 (step.next)))
            << "next from " << step.from;
    }
}
} // namespace

TEST (FolderStepping, StepsThroughAudioFilesInPathOrderWithoutCaseAndWrapsAtTheEnds)
{
    TempFolder folder;
    touch (folder, { "c.aif", "B.WAV", "a.wav", "d.flac", "e.txt", "f.AIFF.bak" });
    folder.file ("b2.wav").createDirectory();

    expectSteps (folder, {
                             { "a.wav", "c.aif", "B.WAV" },
                             { "B.WAV", "a.wav", "c.aif" },
                             { "c.aif", "B.WAV", "a.wav" },
                         });
}

TEST (FolderStepping, OnlyFileOfItsFolderStepsOntoItself)
{
    TempFolder folder;
    touch (folder, { "kick.wav", "notes.txt" });

    expectSteps (folder, { { "kick.wav", "kick.wav", "kick.wav" } });
}

TEST (FolderStepping, SampleMissingFromTheListingStepsToItsNeighboursWithoutWrap)
{
    TempFolder folder;
    touch (folder, { "a.wav", "m.wav" });

    // kick.flac is what a state text may name: not listed, and not on disk either.
    expectSteps (folder, {
                             { "kick.flac", "a.wav", "m.wav" },
                             { "0.wav", "0.wav", "a.wav" },
                             { "z.wav", "m.wav", "z.wav" },
                         });
}

TEST (FolderStepping, StoredPathDifferingOnlyInCaseDoesNotWrap)
{
    TempFolder folder;
    touch (folder, { "a.wav", "c.wav" });

    expectSteps (folder, {
                             { "C.WAV", "a.wav", "C.WAV" },
                             { "A.WAV", "A.WAV", "c.wav" },
                         });
}

TEST (FolderStepping, FilesDifferingOnlyInCaseAreSteppedPastTogether)
{
    TempFolder folder;
    touch (folder, { "a.wav", "k.wav", "K.wav", "z.wav" });

    expectSteps (folder, {
                             { "k.wav", "a.wav", "z.wav" },
                             { "K.wav", "a.wav", "z.wav" },
                         });
}

TEST (FolderStepping, HiddenFilesAreListedAndPunctuationSortsByUpperCaseCodePoint)
{
    TempFolder folder;
    touch (folder, { "kick.wav", "._kick.wav", "0.wav", "_last.wav", "Z.wav" });

    // '.' < '0' < 'K' < 'Z' < '_'
    expectSteps (folder, {
                             { "._kick.wav", "_last.wav", "0.wav" },
                             { "0.wav", "._kick.wav", "kick.wav" },
                             { "Z.wav", "kick.wav", "_last.wav" },
                             { "_last.wav", "Z.wav", "._kick.wav" },
                         });
}

TEST (FolderStepping, NamesBeyondAsciiStepInCodePointOrder)
{
    TempFolder folder;
    // Code points b < z < é (U+00E9, U+00C9 upper-cased) < 日 (U+65E5) whatever the case mapping.
    touch (folder, { "z.wav", "\xc3\xa9t\xc3\xa9.wav", "b.wav", "\xe6\x97\xa5\xe6\x9c\xac.wav" });

    expectSteps (folder, {
                             { "b.wav", "\xe6\x97\xa5\xe6\x9c\xac.wav", "z.wav" },
                             { "z.wav", "b.wav", "\xc3\xa9t\xc3\xa9.wav" },
                             { "\xc3\xa9t\xc3\xa9.wav", "z.wav", "\xe6\x97\xa5\xe6\x9c\xac.wav" },
                             { "\xe6\x97\xa5\xe6\x9c\xac.wav", "\xc3\xa9t\xc3\xa9.wav", "b.wav" },
                         });

    // A name that isn't UTF-8 at all, made behind the framework's back: stepping goes on.
    const std::string latin1 = folder.get().getFullPathName().toStdString() + "/caf\xe9.wav";
    std::ofstream (latin1).put ('x');
    for (const char* name : { "b.wav", "z.wav" })
    {
        const std::string from = folder.path (name);
        EXPECT_FALSE (FileWalker::getNextFile (from).empty());
        EXPECT_FALSE (FileWalker::getPreviousFile (from).empty());
    }
    EXPECT_FALSE (FileWalker::getNextFile (latin1).empty());
}

TEST (FolderStepping, VanishedOrUnlistableFolderGivesThePathBack)
{
    TempFolder folder;
    touch (folder, { "plain.wav" });

    const std::string vanished = folder.path ("gone/kick.wav");
    const std::string underAFile = folder.path ("plain.wav/kick.wav");
    for (const auto& path : { vanished, underAFile, std::string() })
    {
        EXPECT_EQ (FileWalker::getPreviousFile (path), path);
        EXPECT_EQ (FileWalker::getNextFile (path), path);
    }
}

TEST (FolderStepping, UnreadableEntriesNeitherStopNorJoinTheStepping)
{
    TempFolder folder;
    touch (folder, { "a.wav", "secret.wav", "z.wav" });
    ASSERT_TRUE (folder.file ("locked.wav").createDirectory());
    ::chmod (folder.path ("locked.wav").c_str(), 0);
    ::chmod (folder.path ("secret.wav").c_str(), 0);
    ASSERT_EQ (::symlink (folder.path ("nowhere.wav").c_str(), folder.path ("m-dangling.wav").c_str()), 0);

    // Every step lands on a file, never on the folder, and the round from a.wav comes back to it.
    std::string path = folder.path ("a.wav");
    std::vector<std::string> visited;
    for (int step = 0; step < 6 && (visited.empty() || path != folder.path ("a.wav")); ++step)
    {
        path = FileWalker::getNextFile (path);
        visited.push_back (path);
        EXPECT_NE (path, folder.path ("locked.wav"));
    }
    EXPECT_EQ (path, folder.path ("a.wav"));
    EXPECT_NE (std::find (visited.begin(), visited.end(), folder.path ("secret.wav")), visited.end());
    EXPECT_NE (std::find (visited.begin(), visited.end(), folder.path ("z.wav")), visited.end());

    ::chmod (folder.path ("locked.wav").c_str(), 0700);
}

TEST (FolderStepping, ThousandsOfFilesStillStepInOrder)
{
    TempFolder folder;
    constexpr int count = 3000;
    const auto name = [] (int index)
    {
        return "hit" + juce::String (index).paddedLeft ('0', 5) + ".wav";
    };
    for (int index = 0; index < count; ++index)
        ASSERT_TRUE (folder.file (name (index)).create());

    EXPECT_EQ (FileWalker::getNextFile (folder.path (name (1499))), folder.path (name (1500)));
    EXPECT_EQ (FileWalker::getPreviousFile (folder.path (name (1500))), folder.path (name (1499)));
    EXPECT_EQ (FileWalker::getNextFile (folder.path (name (count - 1))), folder.path (name (0)));
    EXPECT_EQ (FileWalker::getPreviousFile (folder.path (name (0))), folder.path (name (count - 1)));
}
