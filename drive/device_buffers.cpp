#include "drive/device_buffers.h"

#include <new>

namespace kv {

namespace {

std::unique_ptr<uint8_t[]> SystemAllocation(std::size_t size) noexcept {
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

BufferAllocator allocator = SystemAllocation;

}  // namespace

std::unique_ptr<uint8_t[]> AllocateDeviceBuffer(std::size_t size) noexcept {
  return allocator(size);
}

BufferAllocator SetDeviceBufferAllocator(BufferAllocator replacement) noexcept {
  const BufferAllocator before = allocator;
  allocator = replacement != nullptr ? replacement : SystemAllocation;
  return before;
}

}  // namespace kv
