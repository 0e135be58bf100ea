// The audio thread must never allocate, free or lock: this file replaces the process's C allocator (under
// every global operator new and delete) and pthread lock functions, counting the audited thread's calls.
#include "Support.h"

#include <dlfcn.h>
#include <shared_mutex>

// clang-format off
namespace { thread_local bool audited = false; std::atomic<int> allocations{ 0 }, frees{ 0 }, locks{ 0 }; }
static void* counted (void* pointer) { allocations += audited ? 1 : 0; return pointer; }
extern "C" {
void* __libc_malloc (size_t); void* __libc_calloc (size_t, size_t); void* __libc_realloc (void*, size_t);
void* __libc_memalign (size_t, size_t); void __libc_free (void*);
void* malloc (size_t size) noexcept { return counted (__libc_malloc (size)); }
void* calloc (size_t count, size_t size) noexcept { return counted (__libc_calloc (count, size)); }
void* realloc (void* pointer, size_t size) noexcept { return counted (__libc_realloc (pointer, size)); }
void* memalign (size_t alignment, size_t size) noexcept { return counted (__libc_memalign (alignment, size)); }
void* aligned_alloc (size_t alignment, size_t size) noexcept { return counted (__libc_memalign (alignment, size)); }
int posix_memalign (void** p, size_t a, size_t n) noexcept { return (*p = aligned_alloc (a, n)) ? 0 : ENOMEM; }
void free (void* pointer) noexcept { frees += audited && pointer != nullptr ? 1 : 0; __libc_free (pointer); }
#define QM70_LOCK(name, Lock) int name (Lock* lock) noexcept { locks += audited ? 1 : 0; \
    static const auto real = reinterpret_cast<int (*) (Lock*)> (dlsym (RTLD_NEXT, #name)); return real (lock); }
QM70_LOCK (pthread_mutex_lock, pthread_mutex_t) QM70_LOCK (pthread_mutex_trylock, pthread_mutex_t)
QM70_LOCK (pthread_rwlock_rdlock, pthread_rwlock_t) QM70_LOCK (pthread_rwlock_wrlock, pthread_rwlock_t)
QM70_LOCK (pthread_rwlock_tryrdlock, pthread_rwlock_t) QM70_LOCK (pthread_rwlock_trywrlock, pthread_rwlock_t)
}
// clang-format on

// Hosts call prepareToPlay with their audio callback's lock held: a wait in it is a drop-out.
TEST (RealTime, TheAuditCountsEveryAllocationFreeAndLockOfItsThreadAndPrepareToPlayMakesNone)
{
    BolvanePluginAudioProcessor processor;
    audited = true;
    processor.prepareToPlay (96000.0, 64);
    audited = false;
    EXPECT_TRUE (allocations == 0 && frees == 0 && locks == 0) << allocations << " " << frees << " " << locks;
    std::mutex mutex;
    std::shared_mutex shared;
    void* volatile kept = nullptr; // so that no allocation can be left out
    audited = true;
    std::free (kept = std::malloc (8)), std::free (kept = std::calloc (2, 8));
    std::free (kept = std::realloc (nullptr, 8)), std::free (kept = std::aligned_alloc (64, 64));
    ::operator delete (kept = ::operator new (8)), ::operator delete[] (kept = ::operator new[] (8, std::nothrow));
    ::operator delete (kept = ::operator new (8, std::align_val_t (64)), std::align_val_t (64));
    mutex.lock(), mutex.unlock(), mutex.try_lock(), mutex.unlock();
    shared.lock(), shared.unlock(), shared.lock_shared(), shared.unlock_shared();
    audited = false;
    EXPECT_TRUE (allocations == 7 && frees == 7 && locks == 4) << allocations << " " << frees << " " << locks;
}

TEST (RealTime, BlocksOfEveryKindNeitherAllocateNorFreeNorLockWhileSamplesLoad)
{
    qm70::TempFolder folder;
    qm70::writeAudio (folder.file ("a.wav"), { qm70::wave (48000), qm70::wave (48000, 0.07) });
    BolvanePluginAudioProcessor processor;
    auto& renderer = processor.audioRenderer;
    renderer.pads[11].pitchRatio = 60.0; // its voices end a few blocks after each hit
    // Everything the host owns is made before the audio thread starts; this one loads into the pads played.
    juce::AudioBuffer<float> wide (12, 256), pair (2, 256), mono (1, 256);
    juce::MidiBuffer notes, none, stops;
    for (int i = 0; i < 24; ++i) // two hits on every pad
        notes.addEvent (juce::MidiMessage::noteOn (1 + i % 16, 48 + i % 12, 0.8f), 10 * i);
    stops = notes, stops.addEvent (juce::MidiMessage::allSoundOff (3), 5),
    stops.addEvent (juce::MidiMessage::allNotesOff (9), 5);
    std::atomic<bool> loading{ true };
    int mostSounding = 0, roundsDuringLoads = 0;
    allocations = frees = locks = 0;
    std::thread audio (
        [&]
        {
            audited = true;
            for (int round = 0; round < 50 || loading; ++round, roundsDuringLoads += loading ? 1 : 0)
            {
                // Pads 0 to 3 join the cut groups every other round while their own slots play on: all 28 sound.
                for (int pad = 0; pad < 4; ++pad)
                    renderer.pads[(size_t) pad].cutGroup = round % 2 == 1 ? pad : -1;
                renderer.pads[(size_t) round % 12].output = round % 7 - 1;
                renderer.pads[(size_t) round % 12].decayFactor = round % 3 == 0 ? 1e-20 : 1.0;
                processor.processBlock (wide, notes);
                for (int slot = 0, sounding = 0; slot < 28; ++slot)
                    mostSounding =
                        std::max (mostSounding, sounding += renderer.voices[(size_t) slot].buffer != nullptr);
                processor.processBlock (mono, notes); // a click waits through it
                for (int block = 0; block < 21; ++block)
                    processor.processBlock (block % 2 == 0 ? pair : wide, block == 3 ? stops : none);
            }
            audited = false;
        });
    for (int i = 0; i < 24; ++i)
        processor.sampleBufferHandler.loadSample (i % 12, folder.path ("a.wav")),
            processor.playHandler.playPad (i % 12);
    loading = false;
    audio.join();
    EXPECT_TRUE (allocations == 0 && frees == 0 && locks == 0) << allocations << " " << frees << " " << locks;
    EXPECT_TRUE (mostSounding == 28 && roundsDuringLoads > 20) << mostSounding << " " << roundsDuringLoads;
}
