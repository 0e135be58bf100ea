#include "FileWalker.h"

#include "../engine/Shared.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <locale.h>
#include <wctype.h>

namespace
{
juce::String fromUtf8 (const std::string& text)
{
    return juce::String::fromUTF8 (text.data(), (int) text.size());
}

// Upper case by Unicode's mapping, whatever the process's locale: in the "C" locale most hosts run
// in, towupper leaves every letter beyond ASCII as it is.
juce::juce_wchar toUpper (juce::juce_wchar c)
{
    static const locale_t unicode = []
    {
        for (const char* name : { "C.UTF-8", "C.utf8", "en_US.UTF-8" })
            if (const locale_t locale = newlocale (LC_CTYPE_MASK, name, (locale_t) 0))
                return locale;
        return (locale_t) 0;
    }();
    return unicode != (locale_t) 0 ? (juce::juce_wchar) towupper_l ((wint_t) c, unicode)
                                   : juce::CharacterFunctions::toUpperCase (c);
}

// Code points compared after upper-casing, a prefix first: a full stop and the digits sort before
// the letters, an underscore after them.
bool sortsBefore (const juce::String& a, const juce::String& b)
{
    for (auto p = a.getCharPointer(), q = b.getCharPointer();;)
    {
        const auto x = toUpper (p.getAndAdvance()), y = toUpper (q.getAndAdvance());
        if (x != y || x == 0)
            return x < y;
    }
}

bool isSampleName (const juce::String& name, const juce::StringArray& patterns)
{
    for (const auto& pattern : patterns)
        if (name.matchesWildcard (pattern, true))
            return true;

    return false;
}

// The audio files directly in the folder of current, sorted. Nothing is cached, so files added or
// removed since the last step count.
juce::Array<juce::File> listSampleFolder (const juce::File& current)
{
    const juce::String& path = current.getFullPathName();
    const int lastSlash = path.lastIndexOfChar ('/');
    const juce::String folderPath = lastSlash < 0    ? path
                                    : lastSlash == 0 ? juce::String ("/")
                                                     : path.substring (0, lastSlash);

    // An empty path has no folder to list.
    if (! juce::File::isAbsolutePath (folderPath))
        return {};

    // The framework's own wildcard test follows the file system's case rule, which on Linux keeps
    // kick.WAV out: list everything and match the names here without case.
    auto files = juce::File (folderPath).findChildFiles (juce::File::findFiles, false, "*");
    const auto patterns = juce::StringArray::fromTokens (juce::String (FILE_FILTER_PATTERNS), ";", "");
    files.removeIf (
        [&patterns] (const juce::File& file)
        {
            return ! isSampleName (file.getFileName(), patterns);
        });

    std::sort (files.begin(), files.end(),
               [] (const juce::File& a, const juce::File& b)
               {
                   return sortsBefore (a.getFullPathName(), b.getFullPathName());
               });
    return files;
}
} // namespace

std::string FileWalker::getPreviousFile (const std::string& path)
{
    const juce::File current (fromUtf8 (path));
    const auto files = listSampleFolder (current);

    if (files.isEmpty())
        return path;

    // The wrap compares the stored text itself, case included.
    if (path == files.getFirst().getFullPathName().toStdString())
        return files.getLast().getFullPathName().toStdString();

    for (int index = files.size(); --index >= 0;)
        if (sortsBefore (files.getReference (index).getFullPathName(), current.getFullPathName()))
            return files.getReference (index).getFullPathName().toStdString();

    return path;
}

std::string FileWalker::getNextFile (const std::string& path)
{
    const juce::File current (fromUtf8 (path));
    const auto files = listSampleFolder (current);

    if (files.isEmpty())
        return path;

    if (path == files.getLast().getFullPathName().toStdString())
        return files.getFirst().getFullPathName().toStdString();

    for (const auto& file : files)
        if (sortsBefore (current.getFullPathName(), file.getFullPathName()))
            return file.getFullPathName().toStdString();

    return path;
}
