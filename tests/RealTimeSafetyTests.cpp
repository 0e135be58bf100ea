// The audio path must never allocate, free or lock. This executable replaces the C allocator, the
// global operator new and delete, and the mutex lock functions with versions that count the calls
// made by whichever thread is being audited, then renders blocks of every kind on that thread.

#include "TestSupport.h"

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <new>
#include <pthread.h>
#include <thread>

extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);
}

namespace
{
// Set only on the thread under audit, so the test's own set-up and other threads don't count.
thread_local bool auditing = false;

std::atomic<int> allocations{ 0 };
std::atomic<int> frees{ 0 };
std::atomic<int> locks{ 0 };

void countAllocation()
{
    if (auditing)
        allocations.fetch_add (1, std::memory_order_relaxed);
}

void countFree (void* pointer)
{
    if (auditing && pointer != nullptr)
        frees.fetch_add (1, std::memory_order_relaxed);
}

void countLock()
{
    if (auditing)
        locks.fetch_add (1, std::memory_order_relaxed);
}

template <typename Function>
Function realFunction (std::atomic<Function>& cache, const char* name)
{
    auto function = cache.load (std::memory_order_acquire);
    if (function == nullptr)
    {
        function = reinterpret_cast<Function> (dlsym (RTLD_NEXT, name));
        cache.store (function, std::memory_order_release);
    }
    return function;
}

using MutexFunction = int (*) (pthread_mutex_t*);
using RwLockFunction = int (*) (pthread_rwlock_t*);
std::atomic<MutexFunction> realMutexLock{ nullptr };
std::atomic<MutexFunction> realMutexTryLock{ nullptr };
std::atomic<RwLockFunction> realReadLock{ nullptr };
std::atomic<RwLockFunction> realWriteLock{ nullptr };

void* allocateOrThrow (size_t size)
{
    countAllocation();
    if (void* pointer = __libc_malloc (size == 0 ? 1 : size))
        return pointer;
    throw std::bad_alloc();
}

void* allocateAlignedOrThrow (size_t size, std::align_val_t alignment)
{
    countAllocation();
    if (void* pointer = __libc_memalign ((size_t) alignment, size == 0 ? 1 : size))
        return pointer;
    throw std::bad_alloc();
}

void release (void* pointer)
{
    countFree (pointer);
    __libc_free (pointer);
}
} // namespace

extern "C"
{
    void* malloc (size_t size) noexcept
    {
        countAllocation();
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size) noexcept
    {
        countAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* pointer, size_t size) noexcept
    {
        countAllocation();
        return __libc_realloc (pointer, size);
    }

    void free (void* pointer) noexcept
    {
        release (pointer);
    }

    void* memalign (size_t alignment, size_t size) noexcept
    {
        countAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size) noexcept
    {
        countAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size) noexcept
    {
        countAllocation();
        if (alignment % sizeof (void*) != 0 || (alignment & (alignment - 1)) != 0)
            return EINVAL;
        void* pointer = __libc_memalign (alignment, size);
        if (pointer == nullptr)
            return ENOMEM;
        *result = pointer;
        return 0;
    }

    int pthread_mutex_lock (pthread_mutex_t* mutex) noexcept
    {
        countLock();
        return realFunction (realMutexLock, "pthread_mutex_lock") (mutex);
    }

    int pthread_mutex_trylock (pthread_mutex_t* mutex) noexcept
    {
        countLock();
        return realFunction (realMutexTryLock, "pthread_mutex_trylock") (mutex);
    }

    int pthread_rwlock_rdlock (pthread_rwlock_t* lock) noexcept
    {
        countLock();
        return realFunction (realReadLock, "pthread_rwlock_rdlock") (lock);
    }

    int pthread_rwlock_wrlock (pthread_rwlock_t* lock) noexcept
    {
        countLock();
        return realFunction (realWriteLock, "pthread_rwlock_wrlock") (lock);
    }
}

// clang-format off
void* operator new (size_t size) { return allocateOrThrow (size); }
void* operator new[] (size_t size) { return allocateOrThrow (size); }
void* operator new (size_t size, const std::nothrow_t&) noexcept { countAllocation(); return __libc_malloc (size == 0 ? 1 : size); }
void* operator new[] (size_t size, const std::nothrow_t&) noexcept { countAllocation(); return __libc_malloc (size == 0 ? 1 : size); }
void* operator new (size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow (size, alignment); }
void* operator new[] (size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow (size, alignment); }
void operator delete (void* pointer) noexcept { release (pointer); }
void operator delete[] (void* pointer) noexcept { release (pointer); }
void operator delete (void* pointer, size_t) noexcept { release (pointer); }
void operator delete[] (void* pointer, size_t) noexcept { release (pointer); }
void operator delete (void* pointer, std::align_val_t) noexcept { release (pointer); }
void operator delete[] (void* pointer, std::align_val_t) noexcept { release (pointer); }
void operator delete (void* pointer, size_t, std::align_val_t) noexcept { release (pointer); }
void operator delete[] (void* pointer, size_t, std::align_val_t) noexcept { release (pointer); }
// clang-format on

namespace
{
using testing_support::Format;
using testing_support::TempFolder;
using testing_support::writeSampleFile;

struct Audit
{
    Audit()
    {
        allocations = 0;
        frees = 0;
        locks = 0;
        auditing = true;
    }
    ~Audit() { auditing = false; }
};

// Twelve pads of long samples, except pad 11's, which ends a few blocks after each hit.
void loadPads (BolvanePluginAudioProcessor& processor, TempFolder& folder)
{
    for (int pad = 0; pad < 12; ++pad)
    {
        const int length = pad == 11 ? 700 : 48000;
        std::vector<float> samples ((size_t) length);
        for (int i = 0; i < length; ++i)
            samples[(size_t) i] = 0.5f * (float) std::sin (0.01 * (i + pad));
        const auto name = "pad" + juce::String (pad) + ".wav";
        ASSERT_TRUE (writeSampleFile (folder.file (name), Format::wav, { samples, samples }, 44100.0, 24));
        processor.sampleBufferHandler.loadSample (pad, folder.path (name));
    }
}

int soundingVoices (const BolvanePluginAudioProcessor& processor)
{
    int sounding = 0;
    for (const auto& voice : processor.audioRenderer.voices)
        sounding += voice.buffer != nullptr ? 1 : 0;
    return sounding;
}

juce::MidiBuffer notesFor (std::initializer_list<int> pads, int spacing)
{
    juce::MidiBuffer midi;
    int position = 0;
    for (const int pad : pads)
    {
        midi.addEvent (juce::MidiMessage::noteOn (1 + pad % 16, 48 + pad, (juce::uint8) 100), position);
        position += spacing;
    }
    return midi;
}
} // namespace

TEST (RealTimeSafety, TheCountingHooksSeeAllocationsFreesAndLocks)
{
    void* (*volatile allocate) (size_t) = std::malloc;
    void (*volatile deallocate) (void*) = std::free;
    std::mutex mutex;
    {
        const Audit audit;
        deallocate (allocate (64));
        void* fromNew = ::operator new (64);
        ::operator delete (fromNew);
        const std::lock_guard<std::mutex> lock (mutex);
    }
    EXPECT_GE (allocations.load(), 2);
    EXPECT_GE (frees.load(), 2);
    EXPECT_GE (locks.load(), 1);
}

TEST (RealTimeSafety, EveryKindOfBlockRendersWithoutAllocatingFreeingOrLocking)
{
    static_assert (std::atomic<double>::is_always_lock_free);
    static_assert (std::atomic<int32_t>::is_always_lock_free);
    static_assert (std::atomic<const SampleBufferEntry*>::is_always_lock_free);

    TempFolder folder;
    BolvanePluginAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    loadPads (processor, folder);
    auto& renderer = processor.audioRenderer;

    // Everything the host would own is made before the audit starts.
    juce::AudioBuffer<float> stereoPairs (12, 256);
    juce::AudioBuffer<float> onePair (2, 256);
    juce::AudioBuffer<float> mono (1, 256);
    auto everyPadTwice = notesFor ({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }, 10);
    auto groupPads = notesFor ({ 0, 1, 2, 3 }, 0);
    auto cuts = notesFor ({ 4, 5, 4, 5, 6, 11 }, 40);
    juce::MidiBuffer stops;
    stops.addEvent (juce::MidiMessage::controllerEvent (3, 120, 0), 100);
    stops.addEvent (juce::MidiMessage::controllerEvent (9, 123, 0), 100);
    stops.addEvent (juce::MidiMessage::noteOn (1, 50, (juce::uint8) 90), 100);
    stops.addEvent (juce::MidiMessage::noteOff (1, 50), 180);
    juce::MidiBuffer none;

    int mostSounding = 0;
    {
        const Audit audit;
        for (int round = 0; round < 50; ++round)
        {
            // 24 voices from MIDI, then four more in the cut-group slots: all 28 sound.
            for (int pad = 0; pad < 12; ++pad)
                renderer.pads[(size_t) pad].cutGroup.store (-1, std::memory_order_seq_cst);
            processor.processBlock (stereoPairs, everyPadTwice);
            for (int group = 0; group < 4; ++group)
                renderer.pads[(size_t) group].cutGroup.store (group, std::memory_order_seq_cst);
            processor.processBlock (stereoPairs, groupPads);
            mostSounding = std::max (mostSounding, soundingVoices (processor));

            // Cuts inside a group, output and setting changes, clicks, a one-channel block.
            renderer.pads[4].cutGroup.store (1, std::memory_order_seq_cst);
            renderer.pads[5].cutGroup.store (1, std::memory_order_seq_cst);
            for (int pad = 0; pad < 12; ++pad)
            {
                renderer.pads[(size_t) pad].output.store ((pad + round) % 7 - 1, std::memory_order_seq_cst);
                renderer.pads[(size_t) pad].pitchRatio.store (0.5 + 0.1 * pad, std::memory_order_seq_cst);
                renderer.pads[(size_t) pad].decayFactor.store (round % 2 == 0 ? 1.0 : 1e-20, std::memory_order_seq_cst);
            }
            processor.processBlock (stereoPairs, cuts);
            renderer.pendingPadTrigger.store (round % 12, std::memory_order_seq_cst);
            processor.processBlock (mono, cuts);
            processor.processBlock (onePair, none);
            for (int block = 0; block < 20; ++block)
                processor.processBlock (block % 2 == 0 ? stereoPairs : onePair, none);
            processor.processBlock (stereoPairs, stops);
        }
    }

    EXPECT_EQ (mostSounding, 28);
    EXPECT_EQ (allocations.load(), 0);
    EXPECT_EQ (frees.load(), 0);
    EXPECT_EQ (locks.load(), 0);
}

TEST (RealTimeSafety, BlocksNeverWaitForALoadHoldingTheLoaderLock)
{
    TempFolder folder;
    BolvanePluginAudioProcessor processor;
    loadPads (processor, folder);
    auto notes = notesFor ({ 0, 1, 2, 3 }, 30);
    juce::AudioBuffer<float> buffer (12, 128);

    std::atomic<bool> loading{ true };
    std::atomic<int> loadsDone{ 0 };
    std::thread loader (
        [&]
        {
            for (int i = 0; i < 20; ++i)
            {
                processor.sampleBufferHandler.loadSample (i % 4,
                                                          folder.path ("pad" + juce::String (11 - i % 4) + ".wav"));
                loadsDone.fetch_add (1);
            }
            loading = false;
        });

    int blocksDuringLoads = 0;
    {
        const Audit audit;
        while (loading.load())
        {
            processor.processBlock (buffer, notes);
            ++blocksDuringLoads;
        }
    }
    loader.join();

    EXPECT_EQ (loadsDone.load(), 20);
    EXPECT_GT (blocksDuringLoads, 20) << "blocks went on through every load";
    EXPECT_EQ (locks.load(), 0);
    EXPECT_EQ (allocations.load(), 0);
    EXPECT_EQ (frees.load(), 0);
}
