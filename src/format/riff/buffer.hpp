// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

namespace Tav::Format::RIFF::detail {

// A chunk's open buffer, shared by copies of the chunk: a small header with a
// reference count and the byte count stands in front of the data, so that a
// chunk keeps only one pointer and the last holder frees the block.
struct alignas(std::max_align_t) BufferHeader {
    std::atomic<std::size_t> holders;
    std::size_t bytes;
};

inline BufferHeader* headerOf(const char* data) noexcept {
    return reinterpret_cast<BufferHeader*>(const_cast<char*>(data)) - 1;
}

inline char* allocateBuffer(std::size_t bytes) {
    void* block = ::operator new(sizeof(BufferHeader) + bytes);
    auto* header = new (block) BufferHeader{{1}, bytes};
    return reinterpret_cast<char*>(header + 1);
}

inline void retainBuffer(char* data) noexcept {
    if (data) headerOf(data)->holders.fetch_add(1, std::memory_order_relaxed);
}

inline void releaseBuffer(char* data) noexcept {
    if (!data) return;
    BufferHeader* header = headerOf(data);
    if (header->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        header->~BufferHeader();
        ::operator delete(header);
    }
}

inline std::size_t bufferBytes(const char* data) noexcept { return headerOf(data)->bytes; }

}  // namespace Tav::Format::RIFF::detail
