#pragma once

#include <string>
#include <vector>

// Counts heap allocations, frees and lock calls made by one audited thread. Linking
// RealTimeAudit.cpp into an executable replaces the C allocator, the global operator new and
// delete and the pthread lock functions for the whole process (plug-in bundles it loads included).
// Sanitizers bring their own allocator: don't link it into sanitized builds.
namespace realtime_audit
{
// Counts calls on the constructing thread until destruction; resets the counters first.
class ScopedAudit
{
public:
    ScopedAudit();
    ~ScopedAudit();
};

int allocations();
int frees();
int locks();

// Counts only calls made from code in the loaded libraries whose file names contain one of these
// parts (a plug-in bundle's library, say), instead of every call. Set it while no audit runs.
// Returns the number of address ranges found; 0 means every call still counts.
int countOnlyCallsFrom (const std::vector<std::string>& libraryNameParts);
void countEveryCall();
} // namespace realtime_audit
