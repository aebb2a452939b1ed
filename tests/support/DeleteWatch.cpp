#include "tests/support/DeleteWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<const void*> g_watched{nullptr};
std::atomic<bool> g_deleted{false};

}  // namespace

void WatchForDelete(const void* pBlock)
{
    g_deleted = false;
    g_watched = pBlock;
}

bool WatchedBlockDeleted()
{
    return g_deleted;
}

void operator delete(void* p) noexcept
{
    if (p != nullptr && p == g_watched.load()) {
        g_watched = nullptr;
        g_deleted = true;
    }
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    ::operator delete(p);
}
