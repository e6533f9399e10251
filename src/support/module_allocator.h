// An allocator for standard containers that takes its memory from the
// module's Allocate, so that containers fail like everything else when
// memory runs out (and under a fault a test plants). It throws
// std::bad_alloc, which the code using such a container catches: no
// exception leaves the module.
#ifndef IMPORDANO_SUPPORT_MODULE_ALLOCATOR_H_
#define IMPORDANO_SUPPORT_MODULE_ALLOCATOR_H_

#include <cstddef>
#include <new>

#include "support/memory.h"

namespace imp {

template <typename T>
struct ModuleAllocator {
  using value_type = T;

  ModuleAllocator() noexcept = default;
  template <typename U>
  ModuleAllocator(const ModuleAllocator<U>&) noexcept {}

  T* allocate(size_t n) {
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* block = Allocate(n * sizeof(T));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, size_t) noexcept { Release(block); }

  template <typename U>
  bool operator==(const ModuleAllocator<U>&) const noexcept { return true; }
  template <typename U>
  bool operator!=(const ModuleAllocator<U>&) const noexcept { return false; }
};

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_MODULE_ALLOCATOR_H_
