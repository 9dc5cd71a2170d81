// Preloaded into a program under test (LD_PRELOAD): every allocation of at least
// GYROLUME_TEST_MALLOC_LIMIT bytes fails as it does when memory has run out, so a test
// can see what the program does then. Smaller ones go to glibc as usual.
#include <cerrno>
#include <cstddef>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);

namespace {
size_t limit()
{
    static size_t bytes = [] {
        const char* text = std::getenv("GYROLUME_TEST_MALLOC_LIMIT");
        return text ? size_t(std::strtoull(text, nullptr, 10)) : size_t(-1);
    }();
    return bytes;
}

bool refused(size_t size)
{
    if (size < limit())
        return false;
    errno = ENOMEM;
    return true;
}
} // namespace

void* malloc(size_t size) { return refused(size) ? nullptr : __libc_malloc(size); }
void* calloc(size_t count, size_t size)
{
    return count && size > size_t(-1) / count ? nullptr : refused(count * size) ? nullptr : __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) { return refused(size) ? nullptr : __libc_realloc(pointer, size); }
void* memalign(size_t alignment, size_t size) { return refused(size) ? nullptr : __libc_memalign(alignment, size); }
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** result, size_t alignment, size_t size)
{
    if (refused(size))
        return ENOMEM;
    *result = __libc_memalign(alignment, size);
    return *result ? 0 : ENOMEM;
}
}
