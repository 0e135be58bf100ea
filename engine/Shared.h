#pragma once

#include <fstream>
#include <mutex>
#include <string>

// Shared by every source unit of the plug-in.

inline const std::string LOG_FILENAME = "/bolvanelog/log.txt";
inline const std::string FILE_FILTER_PATTERNS = "*.aif;*.aiff;*.wav";
inline const std::string FILE_FILTER_DESCRIPTION = "Audio files";
inline const std::string WEB_ADDRESS = "https://www.varnolt.example/";

// One log per loaded library, shared by all plug-in instances. Opened (and truncated) during static
// initialisation on HOME + LOG_FILENAME; when that fails the stream stays failed and every line is
// dropped.
extern std::ofstream logger;

// The message thread and the host's state thread may log at the same moment.
extern std::mutex loggerMutex;

// Writes one log line: the pieces in order, then a newline and a flush. Never call this on the
// audio thread.
template <typename... Pieces>
void logLine (const Pieces&... pieces)
{
    const std::lock_guard<std::mutex> lock (loggerMutex);
    (logger << ... << pieces) << std::endl;
}
