// Reads a movie file whole, up to a size no screen-saver movie comes near.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfctl {

constexpr uint64_t kMaxMovieBytes = 256u * 1024u * 1024u;

// False with the system's reason when the file cannot be read or is too large. Throws
// std::bad_alloc when the bytes find no memory (the COM entry points turn that into an HRESULT).
bool ReadMovieFile(const std::wstring& path, std::vector<uint8_t>& bytes, std::wstring& error);

// The allocation of a movie's bytes, a seam for tests: they make it fail as a process short of
// memory would. Sizes `buffer` to `size` bytes or throws. Returns the allocator it replaces;
// nullptr puts the plain one back.
using MovieBufferAllocator = void (*)(std::vector<uint8_t>& buffer, size_t size);
MovieBufferAllocator SetMovieBufferAllocator(MovieBufferAllocator allocator);

}  // namespace swfctl
