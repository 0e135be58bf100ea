#include "RealTimeAudit.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <new>
#include <pthread.h>

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

std::atomic<int> allocationCount{ 0 };
std::atomic<int> freeCount{ 0 };
std::atomic<int> lockCount{ 0 };

// Address ranges of the libraries whose calls count; none means every call counts. Written only
// while no audit runs.
struct Range
{
    uintptr_t start, end;
};
Range counted[64];
int numCounted = 0;

bool counts (const void* caller)
{
    if (! auditing)
        return false;
    if (numCounted == 0)
        return true;
    const auto address = reinterpret_cast<uintptr_t> (caller);
    for (int i = 0; i < numCounted; ++i)
        if (address >= counted[i].start && address < counted[i].end)
            return true;
    return false;
}

void countAllocation (const void* caller)
{
    if (counts (caller))
        allocationCount.fetch_add (1, std::memory_order_relaxed);
}

void countFree (const void* caller, void* pointer)
{
    if (pointer != nullptr && counts (caller))
        freeCount.fetch_add (1, std::memory_order_relaxed);
}

void countLock (const void* caller)
{
    if (counts (caller))
        lockCount.fetch_add (1, std::memory_order_relaxed);
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

void* allocateOrThrow (const void* caller, size_t size)
{
    countAllocation (caller);
    if (void* pointer = __libc_malloc (size == 0 ? 1 : size))
        return pointer;
    throw std::bad_alloc();
}

void* allocateAlignedOrThrow (const void* caller, size_t size, std::align_val_t alignment)
{
    countAllocation (caller);
    if (void* pointer = __libc_memalign ((size_t) alignment, size == 0 ? 1 : size))
        return pointer;
    throw std::bad_alloc();
}

void release (const void* caller, void* pointer)
{
    countFree (caller, pointer);
    __libc_free (pointer);
}
} // namespace

#define CALLER __builtin_return_address (0)

extern "C"
{
    void* malloc (size_t size) noexcept
    {
        countAllocation (CALLER);
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size) noexcept
    {
        countAllocation (CALLER);
        return __libc_calloc (count, size);
    }

    void* realloc (void* pointer, size_t size) noexcept
    {
        countAllocation (CALLER);
        return __libc_realloc (pointer, size);
    }

    void free (void* pointer) noexcept
    {
        release (CALLER, pointer);
    }

    void* memalign (size_t alignment, size_t size) noexcept
    {
        countAllocation (CALLER);
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size) noexcept
    {
        countAllocation (CALLER);
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size) noexcept
    {
        countAllocation (CALLER);
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
        countLock (CALLER);
        return realFunction (realMutexLock, "pthread_mutex_lock") (mutex);
    }

    int pthread_mutex_trylock (pthread_mutex_t* mutex) noexcept
    {
        countLock (CALLER);
        return realFunction (realMutexTryLock, "pthread_mutex_trylock") (mutex);
    }

    int pthread_rwlock_rdlock (pthread_rwlock_t* lock) noexcept
    {
        countLock (CALLER);
        return realFunction (realReadLock, "pthread_rwlock_rdlock") (lock);
    }

    int pthread_rwlock_wrlock (pthread_rwlock_t* lock) noexcept
    {
        countLock (CALLER);
        return realFunction (realWriteLock, "pthread_rwlock_wrlock") (lock);
    }
}

// clang-format off
void* operator new (size_t size) { return allocateOrThrow (CALLER, size); }
void* operator new[] (size_t size) { return allocateOrThrow (CALLER, size); }
void* operator new (size_t size, const std::nothrow_t&) noexcept { countAllocation (CALLER); return __libc_malloc (size == 0 ? 1 : size); }
void* operator new[] (size_t size, const std::nothrow_t&) noexcept { countAllocation (CALLER); return __libc_malloc (size == 0 ? 1 : size); }
void* operator new (size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow (CALLER, size, alignment); }
void* operator new[] (size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow (CALLER, size, alignment); }
void operator delete (void* pointer) noexcept { release (CALLER, pointer); }
void operator delete[] (void* pointer) noexcept { release (CALLER, pointer); }
void operator delete (void* pointer, size_t) noexcept { release (CALLER, pointer); }
void operator delete[] (void* pointer, size_t) noexcept { release (CALLER, pointer); }
void operator delete (void* pointer, std::align_val_t) noexcept { release (CALLER, pointer); }
void operator delete[] (void* pointer, std::align_val_t) noexcept { release (CALLER, pointer); }
void operator delete (void* pointer, size_t, std::align_val_t) noexcept { release (CALLER, pointer); }
void operator delete[] (void* pointer, size_t, std::align_val_t) noexcept { release (CALLER, pointer); }
// clang-format on

namespace realtime_audit
{
ScopedAudit::ScopedAudit()
{
    allocationCount = 0;
    freeCount = 0;
    lockCount = 0;
    auditing = true;
}

ScopedAudit::~ScopedAudit()
{
    auditing = false;
}

int allocations()
{
    return allocationCount.load();
}
int frees()
{
    return freeCount.load();
}
int locks()
{
    return lockCount.load();
}

int countOnlyCallsFrom (const std::vector<std::string>& libraryNameParts)
{
    numCounted = 0;
    dl_iterate_phdr (
        [] (dl_phdr_info* info, size_t, void* data) -> int
        {
            const auto& parts = *static_cast<const std::vector<std::string>*> (data);
            for (const auto& part : parts)
            {
                if (info->dlpi_name == nullptr || std::strstr (info->dlpi_name, part.c_str()) == nullptr)
                    continue;
                for (int i = 0; i < info->dlpi_phnum && numCounted < 64; ++i)
                    if (info->dlpi_phdr[i].p_type == PT_LOAD)
                        counted[numCounted++] = { info->dlpi_addr + info->dlpi_phdr[i].p_vaddr,
                                                  info->dlpi_addr + info->dlpi_phdr[i].p_vaddr +
                                                      info->dlpi_phdr[i].p_memsz };
            }
            return 0;
        },
        const_cast<std::vector<std::string>*> (&libraryNameParts));
    return numCounted;
}

void countEveryCall()
{
    numCounted = 0;
}
} // namespace realtime_audit
