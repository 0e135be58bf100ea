#pragma once

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
} // namespace realtime_audit
