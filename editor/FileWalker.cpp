#include "FileWalker.h"

std::string FileWalker::getPreviousFile (const std::string& path) { return path; }
std::string FileWalker::getNextFile (const std::string& path) { return path; }
