// ostrevan-reg's export of a tree of 10,000 keys, each with two values, as the program runs it
// (on one snapshot); the aim is well under a second. A second tree is one chain of 512 levels, the
// deepest the store allows.

#include "platform/posix/RegistryStore.h"
#include "tools/ostrevan-reg/RegFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace ostrevan;
using namespace ostrevan::regtool;

constexpr int kParents = 100;
constexpr int kChildren = 99; // with the parents: 10,000 keys

void setText(RegistryStore& store, HKEY key, const char* name, const std::string& text) {
    const std::string data = text + '\0';
    store.RegSetValueEx(key, name, 0, regtype::Sz,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<std::uint32_t>(data.size()));
}

HKEY create(RegistryStore& store, HKEY parent, const std::string& path) {
    HKEY key = 0;
    store.RegCreateKeyEx(parent, path.c_str(), 0, nullptr, 0, keyaccess::AllAccess, nullptr, &key,
                         nullptr);
    return key;
}

// A store of its own in the temporary folder, filled once, removed afterwards.
class FilledStore final {
public:
    FilledStore()
        : m_folder(std::filesystem::temp_directory_path() /
                   ("ostrevan-bench-export-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_folder);
        m_store = std::make_unique<RegistryStore>((m_folder / "registry.sqlite3").string());
        m_store->allOrNothing([this] {
            for (int p = 0; p < kParents; ++p) {
                const HKEY parent = create(*m_store, hkey::CurrentUser,
                                           "Software\\Breit\\Eltern " + std::to_string(p));
                setText(*m_store, parent, "Name", "Eltern " + std::to_string(p));
                for (int c = 0; c < kChildren; ++c) {
                    const HKEY child = create(*m_store, parent, "Kind " + std::to_string(c));
                    setText(*m_store, child, "Name", "Kind " + std::to_string(c));
                    setText(*m_store, child, "Pfad", "C:\\Daten\\Teil " + std::to_string(c));
                    m_store->RegCloseKey(child);
                }
                m_store->RegCloseKey(parent);
            }
            HKEY deep = create(*m_store, hkey::CurrentUser, "Software\\Tief");
            for (int level = 2; level < 512; ++level) {
                const HKEY next = create(*m_store, deep, "Ebene");
                m_store->RegCloseKey(deep);
                deep = next;
            }
            m_store->RegCloseKey(deep);
            return winerror::Success;
        });
    }
    ~FilledStore() {
        m_store.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    FilledStore(const FilledStore&) = delete;
    FilledStore& operator=(const FilledStore&) = delete;
    RegistryStore& store() { return *m_store; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<RegistryStore> m_store;
};

FilledStore& filled() {
    static FilledStore store;
    return store;
}

void Export(benchmark::State& state, const char* key) {
    const KeyPath path = *parseKeyPath(key);
    std::string file;
    for (auto _ : state) {
        RegistryStore& store = filled().store();
        if (store.oneView([&] { return exportKeys(store, path, &file); }) != winerror::Success) {
            state.SkipWithError("export failed");
            return;
        }
        benchmark::DoNotOptimize(file);
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK_CAPTURE(Export, TenThousandKeys, "HKCU\\Software\\Breit")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, ChainOf512Levels, "HKCU\\Software\\Tief")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
