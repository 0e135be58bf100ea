#pragma once

#include <string>

// Steps from a sample to the previous or next audio file of its folder, in path order without
// regard to case. Lists the folder afresh at every step.
class FileWalker
{
public:
    static std::string getPreviousFile (const std::string& path);
    static std::string getNextFile (const std::string& path);
};
