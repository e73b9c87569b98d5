#include "movie_file.h"

#include <windows.h>

#include "scoped_win.h"

namespace swfctl {
namespace {

std::wstring SystemText(DWORD code) {
    wchar_t buffer[256] = L"";
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                    buffer, DWORD(sizeof buffer / sizeof buffer[0]), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' || buffer[length - 1] == L' '))
        --length;
    if (length > 0) return std::wstring(buffer, length);
    return L"system error " + std::to_wstring(code);
}

void PlainAllocation(std::vector<uint8_t>& buffer, size_t size) { buffer.resize(size); }

MovieBufferAllocator g_allocate = PlainAllocation;

}  // namespace

MovieBufferAllocator SetMovieBufferAllocator(MovieBufferAllocator allocator) {
    MovieBufferAllocator previous = g_allocate;
    g_allocate = allocator ? allocator : PlainAllocation;
    return previous;
}

bool ReadMovieFile(const std::wstring& path, std::vector<uint8_t>& bytes, std::wstring& error) {
    kestoral::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = SystemText(::GetLastError());
        return false;
    }
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.get(), &size)) {
        error = SystemText(::GetLastError());
        return false;
    }
    if (uint64_t(size.QuadPart) > kMaxMovieBytes) {
        error = L"the file is larger than a movie may be";
        return false;
    }
    std::vector<uint8_t> data;
    g_allocate(data, size_t(size.QuadPart));
    size_t done = 0;
    while (done < data.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), data.data() + done, DWORD(data.size() - done), &got, nullptr)) {
            error = SystemText(::GetLastError());
            return false;
        }
        if (got == 0) break;
        done += got;
    }
    data.resize(done);
    bytes = std::move(data);
    return true;
}

}  // namespace swfctl
