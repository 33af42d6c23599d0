// Type descriptions read through the registry class, as the folder scan reads one per file.
// Reports reads per second; the aim is at least 200,000.

#include "platform/RegistryFileTypes.h"
#include "platform/posix/RegistryStore.h"
#include "storage/clsSysRegistry.h"

#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace ostrevan;

constexpr int kReads = 100000;
constexpr std::array<const char*, 8> kExtensions{"par", "psm", "asm", "dft",
                                                 "pwd", "cfg", "txt", "PAR"};

// A store of its own in the temporary folder, removed afterwards.
class TemporaryStore final {
public:
    TemporaryStore()
        : m_folder(std::filesystem::temp_directory_path() /
                   ("ostrevan-bench-registry-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_folder);
        m_store = std::make_unique<RegistryStore>((m_folder / "registry.sqlite3").string());
    }
    ~TemporaryStore() {
        m_store.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    TemporaryStore(const TemporaryStore&) = delete;
    TemporaryStore& operator=(const TemporaryStore&) = delete;
    RegistryStore& store() { return *m_store; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<RegistryStore> m_store;
};

void ExtensionToFileType100k(benchmark::State& state) {
    TemporaryStore temporary;
    clsSysRegistry registry(temporary.store());
    for (auto _ : state) {
        for (int i = 0; i < kReads; ++i) {
            benchmark::DoNotOptimize(
                registry.ExtensionToFileType(kExtensions[i % kExtensions.size()]));
        }
    }
    state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kReads,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(ExtensionToFileType100k)->Unit(benchmark::kMillisecond);

// The same reads while every 1,000th read follows a write, which drops the caches.
void ExtensionToFileTypeWithWrites(benchmark::State& state) {
    TemporaryStore temporary;
    clsSysRegistry registry(temporary.store());
    for (auto _ : state) {
        for (int i = 0; i < kReads; ++i) {
            if (i % 1000 == 0) {
                registry.SetRegistryValue(regroot::CurrentUser, "Software\\Bench", "n",
                                          regtype::Dword, std::int32_t{i});
            }
            benchmark::DoNotOptimize(
                registry.ExtensionToFileType(kExtensions[i % kExtensions.size()]));
        }
    }
    state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kReads,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(ExtensionToFileTypeWithWrites)->Unit(benchmark::kMillisecond);

// The file-system backend's path: the file-type registry without the class.
void FileTypeDescription100k(benchmark::State& state) {
    TemporaryStore temporary;
    const RegistryFileTypes types(temporary.store());
    for (auto _ : state) {
        for (int i = 0; i < kReads; ++i) {
            benchmark::DoNotOptimize(types.description(kExtensions[i % kExtensions.size()]));
        }
    }
    state.counters["reads/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kReads,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(FileTypeDescription100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
