#include "TestSupport.h"
#include "editor/FileWalker.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <vector>

using testing_support::TempFolder;

namespace
{
// A folder's files (empty: only names count) and, from each start, where previous and next go.
struct Folder
{
    const char* behaviour;
    std::vector<const char*> files;
    std::vector<std::array<const char*, 3>> steps;
};

const Folder folders[] = {
    { "path order without case, wrapping at the ends; other names and sub-folders left out",
      { "c.aif", "B.WAV", "a.wav", "d.flac", "e.txt", "f.AIFF.bak", "b2.wav/b.wav" },
      { { "a.wav", "c.aif", "B.WAV" }, { "B.WAV", "a.wav", "c.aif" }, { "c.aif", "B.WAV", "a.wav" } } },
    { "the only file steps onto itself", { "kick.wav", "notes.txt" }, { { "kick.wav", "kick.wav", "kick.wav" } } },
    { "a sample missing from the listing steps to its neighbours, without wrap",
      { "a.wav", "m.wav" },
      { { "kick.flac", "a.wav", "m.wav" }, { "0.wav", "0.wav", "a.wav" }, { "z.wav", "m.wav", "z.wav" } } },
    { "a stored path differing in case from the listed one doesn't wrap",
      { "a.wav", "c.wav" },
      { { "C.WAV", "a.wav", "C.WAV" }, { "A.WAV", "A.WAV", "c.wav" } } },
    { "files differing only in case are stepped past together",
      { "a.wav", "k.wav", "K.wav", "z.wav" },
      { { "k.wav", "a.wav", "z.wav" }, { "K.wav", "a.wav", "z.wav" } } },
    { "hidden files are listed; '.' < '0' < letters < '_'",
      { "kick.wav", "._kick.wav", "0.wav", "_last.wav", "Z.wav" },
      { { "._kick.wav", "_last.wav", "0.wav" }, { "Z.wav", "kick.wav", "_last.wav" } } },
    // b < z < U+00C9 (é upper-cased) < U+65E5, whatever the case mapping.
    { "names beyond ASCII in code point order",
      { "z.wav", "\xc3\xa9t\xc3\xa9.wav", "b.wav", "\xe6\x97\xa5.wav" },
      { { "b.wav", "\xe6\x97\xa5.wav", "z.wav" }, { "\xe6\x97\xa5.wav", "\xc3\xa9t\xc3\xa9.wav", "b.wav" } } },
    { "a folder that vanished or is a file gives the path back",
      { "plain.wav" },
      { { "gone/kick.wav", "gone/kick.wav", "gone/kick.wav" },
        { "plain.wav/kick.wav", "plain.wav/kick.wav", "plain.wav/kick.wav" } } },
};
} // namespace

TEST (FolderStepping, StepsThroughTheAudioFilesOfTheFolderInPathOrderWithoutCase)
{
    for (const auto& folder : folders)
    {
        SCOPED_TRACE (folder.behaviour);
        TempFolder temp;
        const auto path = [&temp] (const char* name)
        {
            return temp.path (juce::String::fromUTF8 (name));
        };
        for (const char* file : folder.files)
            ASSERT_TRUE (temp.file (juce::String::fromUTF8 (file)).create()) << file;
        for (const auto& [from, previous, next] : folder.steps)
        {
            EXPECT_EQ (FileWalker::getPreviousFile (path (from)), path (previous)) << "previous from " << from;
            EXPECT_EQ (FileWalker::getNextFile (path (from)), path (next)) << "next from " << from;
        }
    }
}

TEST (FolderStepping, EmptyPathOrANameNotInUtf8GivesAPathBack)
{
    EXPECT_EQ (FileWalker::getPreviousFile (""), "");
    EXPECT_EQ (FileWalker::getNextFile (""), "");

    // Made behind the framework's back, in Latin-1.
    TempFolder folder;
    ASSERT_TRUE (folder.file ("plain.wav").create());
    const std::string latin1 = folder.get().getFullPathName().toStdString() + "/caf\xe9.wav";
    std::ofstream (latin1).put ('x');
    EXPECT_FALSE (FileWalker::getNextFile (folder.path ("plain.wav")).empty());
    EXPECT_FALSE (FileWalker::getPreviousFile (latin1).empty());
}
