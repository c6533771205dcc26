#pragma once
// Shared by the fuzz targets. The file readers take a path, so each input is
// written to a scratch file first; the scratch directory lives on a RAM disk
// (VEMAR_FUZZ_SCRATCH, else one made under /dev/shm or /tmp) so that the
// atomic writes of the round trips, with their fsync, stay cheap.
//
// Outcomes: an input either loads or raises FileError. Any other exception
// escapes to libFuzzer as a crash; a broken promise calls Finding().

#include "core/files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace vemar::fuzz {

inline const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path dir = [] {
        if (const char* given = std::getenv("VEMAR_FUZZ_SCRATCH")) return std::filesystem::path(given);
        std::string pattern = (std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp");
        pattern += "/vemar-fuzz.XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return std::filesystem::path(pattern);
    }();
    return dir;
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input as the file `name` in the scratch directory; returns its path.
inline std::filesystem::path WriteScratch(const char* name, std::string_view bytes) {
    const std::filesystem::path path = ScratchDir() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

inline std::string ReadScratch(const std::filesystem::path& path) {
    return ReadFileBytes(path).value_or("<missing>");
}

// A promise of the readers or writers does not hold: report and crash, so
// that libFuzzer keeps the input.
[[noreturn]] inline void Finding(const char* what) {
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

// Runs fn; true when it returned, false when it raised FileError.
template <class Fn> bool LoadsOrFileError(Fn&& fn) {
    try {
        fn();
        return true;
    } catch (const FileError&) {
        return false;
    }
}

} // namespace vemar::fuzz
