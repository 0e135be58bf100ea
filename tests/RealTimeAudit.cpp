#include "RealTimeAudit.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
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

namespace realtime_audit
{
ScopedAudit::ScopedAudit()
{
    ::allocations = 0;
    ::frees = 0;
    ::locks = 0;
    auditing = true;
}

ScopedAudit::~ScopedAudit()
{
    auditing = false;
}

int allocations() { return ::allocations.load(); }
int frees() { return ::frees.load(); }
int locks() { return ::locks.load(); }
} // namespace realtime_audit
