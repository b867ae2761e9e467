// The device's two 65536-byte buffers. Allocation never throws: a buffer that cannot be had stays
// null, and every command that would move data through it fails with result 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kv {

using BufferAllocator = std::unique_ptr<uint8_t[]> (*)(std::size_t size) noexcept;

// A zero-filled buffer of size bytes, or null when the memory cannot be had.
std::unique_ptr<uint8_t[]> AllocateDeviceBuffer(std::size_t size) noexcept;

// Replaces the allocation the device uses (null restores the system's) and returns the one before,
// so that tests can make it fail.
BufferAllocator SetDeviceBufferAllocator(BufferAllocator allocator) noexcept;

}  // namespace kv
