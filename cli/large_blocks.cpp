// Large heap blocks of the tool (multi-megabyte code images) are backed by
// transparent huge pages where the system allows it: a 4 MiB image then costs a
// few page faults instead of a thousand. Small blocks come from malloc as usual.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = 2u * 1024u * 1024u;
constexpr std::size_t kLargeBlock = kHugePage;
// Every block starts with a header: the mapping's length for a large block, 0
// for a malloc block. The header keeps the alignment of max_align_t.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    if (size >= kLargeBlock && size < SIZE_MAX / 2) {
        const std::size_t length = (size + kHeader + kHugePage - 1) / kHugePage * kHugePage;
        // Mapped with one huge page to spare, then trimmed to a huge-page boundary.
        void* spare = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (spare != MAP_FAILED) {
            const auto start = reinterpret_cast<uintptr_t>(spare);
            const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
            if (aligned > start) {
                ::munmap(spare, aligned - start);
            }
            if (start + kHugePage > aligned) {
                ::munmap(reinterpret_cast<void*>(aligned + length), start + kHugePage - aligned);
            }
            void* mapping = reinterpret_cast<void*>(aligned);
            ::madvise(mapping, length, MADV_HUGEPAGE);
            *static_cast<std::size_t*>(mapping) = length;
            return static_cast<char*>(mapping) + kHeader;
        }
    }
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(block) = 0;
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<char*>(pointer) - kHeader;
    const std::size_t length = *static_cast<std::size_t*>(block);
    if (length != 0) {
        ::munmap(block, length);
    } else {
        std::free(block);
    }
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
// The replaced operator new allocates with malloc or mmap, released here alike.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* pointer) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer) noexcept {
    Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    Release(pointer);
}
