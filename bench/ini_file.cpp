// Cost of the ini reads and writes that the profile, macro and settings code
// makes key by key, on a catalogue of a few kilobytes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ini_file.h"

namespace {

class BenchFolder {
  public:
    BenchFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "rxt-ini-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        }
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

// Seven catalogues' worth of sections, 60 entries each: about 4 KB.
std::string catalogueText() {
    std::string text;
    for (const char* kind : {"DEVICE", "DENG", ""}) {
        const std::string k = kind;
        text += "[PROFILE" + k + "COUNT]\ncount=60\n";
        text += "[PROFILE" + k + "SELECT]\nselect=3\n";
        text += "[PROFILE" + k + "NAME]\n";
        for (int i = 0; i < 60; ++i) {
            text += std::to_string(i) + "=profile" + std::to_string(i + 1) + "\n";
        }
        text += "[PROFILELIKE" + k + "EXE]\n";
        for (int i = 0; i < 10; ++i) {
            text += std::to_string(i) + "=0\n";
        }
    }
    text += "[PROCESS]\n";
    for (int i = 0; i < 10; ++i) {
        text += std::to_string(i) + "=/usr/games/some-game-" + std::to_string(i) + "\n";
    }
    return text;
}

std::string asUtf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::filesystem::path makeFile(const BenchFolder& dir, const std::string& name,
                               const std::string& bytes) {
    const auto file = dir.path / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

void BM_IniReadFirstSection(benchmark::State& state) {
    BenchFolder dir;
    const auto file = makeFile(dir, "msProfile.ini", catalogueText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(rxt::iniRead(file, "PROFILEDEVICECOUNT", "count", "0"));
    }
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
}
BENCHMARK(BM_IniReadFirstSection);

void BM_IniReadLastKey(benchmark::State& state) {
    BenchFolder dir;
    const auto file = makeFile(dir, "msProfile.ini", catalogueText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(rxt::iniRead(file, "process", "9", "0"));
    }
}
BENCHMARK(BM_IniReadLastKey);

void BM_IniReadMissingKey(benchmark::State& state) {
    BenchFolder dir;
    const auto file = makeFile(dir, "msProfile.ini", catalogueText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(rxt::iniRead(file, "PROFILENAME", "999", "0"));
    }
}
BENCHMARK(BM_IniReadMissingKey);

void BM_IniReadInt(benchmark::State& state) {
    BenchFolder dir;
    const auto file = makeFile(dir, "msProfile.ini", catalogueText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(rxt::iniReadInt(file, "PROFILECOUNT", "count", 0));
    }
}
BENCHMARK(BM_IniReadInt);

void BM_IniReadMissingFile(benchmark::State& state) {
    BenchFolder dir;
    const auto file = dir.path / "none.ini";
    for (auto _ : state) {
        benchmark::DoNotOptimize(rxt::iniRead(file, "PROFILECOUNT", "count", "0"));
    }
}
BENCHMARK(BM_IniReadMissingFile);

void BM_IniReadUtf16LastKey(benchmark::State& state) {
    BenchFolder dir;
    const auto file = makeFile(dir, "msProfile.ini", asUtf16le(catalogueText()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(rxt::iniRead(file, "process", "9", "0"));
    }
}
BENCHMARK(BM_IniReadUtf16LastKey);

// A real change: read, edit, write a temporary file, flush it to disk, rename.
void BM_IniWriteChanged(benchmark::State& state) {
    BenchFolder dir;
    const auto file = makeFile(dir, "msProfile.ini", catalogueText());
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            rxt::iniWrite(file, "PROFILESELECT", "select", std::to_string(i++ % 40)));
    }
}
BENCHMARK(BM_IniWriteChanged)->Unit(benchmark::kMicrosecond);

// The same value again: read and compare only, the file is not touched.
void BM_IniWriteUnchanged(benchmark::State& state) {
    BenchFolder dir;
    const auto file = makeFile(dir, "msProfile.ini", catalogueText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(rxt::iniWrite(file, "PROFILESELECT", "select", "3"));
    }
}
BENCHMARK(BM_IniWriteUnchanged);

}  // namespace
