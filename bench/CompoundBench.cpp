// Our compound-file reader against libgsf's, side by side: open a document, walk every
// storage and read the "\x01Ole" streams, as the link reader does. Documents of 64 KiB and
// 4 MiB, the real documents of ../shared/real when present, one storage with 20,000 and
// 100,000 entries, and 3,000 damaged copies of the test files (the slowest one is reported).

#include "platform/Error.h"
#include "platform/ole/CompoundFile.h"
#include "platform/ole/FileInput.h"
#include "tests/ole/CompoundWriter.h"
#include "tests/ole/Mutants.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/GObjectPtr.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <unistd.h>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

constexpr std::string_view kObjectStream = "\x01Ole";

// Walks every storage and reads the object streams; returns the bytes read from them.
std::size_t readObjects(ByteSource& input) {
    CompoundFile file(input);
    std::size_t bytes = 0;
    for (const CompoundEntry& entry : file.entries()) {
        if (entry.kind == CompoundEntry::Kind::Stream && entry.name == kObjectStream) {
            const auto data = file.read(entry, 1 << 20);
            bytes += data ? data->size() : 0;
        }
    }
    return bytes;
}

std::size_t readObjectsWithLibgsf(GsfInput* input) {
    GError* error = nullptr;
    const GObjectPtr<GsfInfile> root(gsf_infile_msole_new(input, &error));
    if (error != nullptr) {
        g_error_free(error);
    }
    if (!root) {
        return 0;
    }
    std::size_t bytes = 0;
    std::vector<GObjectPtr<GsfInfile>> pending;
    pending.emplace_back(GSF_INFILE(g_object_ref(root.get())));
    while (!pending.empty()) {
        const GObjectPtr<GsfInfile> storage = std::move(pending.back());
        pending.pop_back();
        const int count = gsf_infile_num_children(storage.get());
        for (int i = 0; i < count; ++i) {
            GObjectPtr<GsfInput> child(gsf_infile_child_by_index(storage.get(), i));
            if (!child) {
                continue;
            }
            if (gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) {
                pending.emplace_back(GSF_INFILE(child.release()));
            } else if (kObjectStream == gsf_infile_name_by_index(storage.get(), i)) {
                const auto size = static_cast<std::size_t>(gsf_input_size(child.get()));
                bytes += gsf_input_read(child.get(), size, nullptr) != nullptr ? size : 0;
            }
        }
    }
    return bytes;
}

// Documents written once per process into a temporary folder.
class Documents final {
public:
    Documents(const char* name, std::size_t fileBytes, int count) {
        m_folder = fs::temp_directory_path() /
                   ("ostrevan-bench-compound-" + std::to_string(getpid()) + "-" + name);
        fs::create_directories(m_folder);
        std::vector<fixture::FixtureLink> links;
        for (int i = 0; i < 5; ++i) {
            const std::string part = "Teil " + std::to_string(i) + ".par";
            links.push_back({"C:\\Konstruktion\\" + part, "..\\" + part});
        }
        for (int i = 0; i < count; ++i) {
            m_paths.push_back((m_folder / ("Baugruppe " + std::to_string(i) + ".asm")).string());
            fixture::writeCompoundDocument(m_paths.back(), links, fileBytes);
        }
    }
    explicit Documents(std::vector<std::string> paths) : m_paths(std::move(paths)) {}
    ~Documents() {
        if (!m_folder.empty()) {
            std::error_code ignored;
            fs::remove_all(m_folder, ignored);
        }
    }
    Documents(const Documents&) = delete;
    Documents& operator=(const Documents&) = delete;

    const std::vector<std::string>& paths() const { return m_paths; }

private:
    fs::path m_folder;
    std::vector<std::string> m_paths;
};

const Documents& small() {
    static const Documents documents("64KiB", 64 * 1024, 200);
    return documents;
}

const Documents& large() {
    static const Documents documents("4MiB", 4 * 1024 * 1024, 10);
    return documents;
}

const Documents& real() {
    static const Documents documents([] {
        std::vector<std::string> paths;
        const fs::path folder = fs::path(OSTREVAN_SOURCE_DIR) / ".." / "shared" / "real";
        if (fs::is_directory(folder)) {
            for (const auto& entry : fs::recursive_directory_iterator(folder)) {
                const std::string extension = entry.path().extension().string();
                if (entry.is_regular_file() && extension != ".md" &&
                    entry.path().parent_path().filename() != "robust") {
                    paths.push_back(entry.path().string());
                }
            }
        }
        return paths;
    }());
    return documents;
}

void readFiles(benchmark::State& state, const Documents& documents, bool ours) {
    const auto& paths = documents.paths();
    if (paths.empty()) {
        state.SkipWithError("no documents (../shared/real is missing)");
        return;
    }
    std::size_t next = 0;
    std::uint64_t bytesRead = 0;
    std::uint64_t reads = 0;
    for (auto _ : state) {
        if (ours) {
            FileInput input(paths[next]);
            benchmark::DoNotOptimize(readObjects(input));
            bytesRead += input.bytesRead();
            reads += input.reads();
        } else {
            const GObjectPtr<GsfInput> input(gsf_input_stdio_new(paths[next].c_str(), nullptr));
            benchmark::DoNotOptimize(readObjectsWithLibgsf(input.get()));
        }
        next = (next + 1) % paths.size();
    }
    state.SetItemsProcessed(state.iterations());
    if (ours) {
        const auto documents = static_cast<double>(state.iterations());
        state.counters["bytes_read_per_doc"] = static_cast<double>(bytesRead) / documents;
        state.counters["reads_per_doc"] = static_cast<double>(reads) / documents;
    }
}

void BM_Ours64KiB(benchmark::State& state) {
    readFiles(state, small(), true);
}
void BM_Libgsf64KiB(benchmark::State& state) {
    readFiles(state, small(), false);
}
void BM_Ours4MiB(benchmark::State& state) {
    readFiles(state, large(), true);
}
void BM_Libgsf4MiB(benchmark::State& state) {
    readFiles(state, large(), false);
}
void BM_OursRealDocuments(benchmark::State& state) {
    readFiles(state, real(), true);
}
void BM_LibgsfRealDocuments(benchmark::State& state) {
    readFiles(state, real(), false);
}

// One storage holding state.range(0) streams.
const Bytes& manyEntries(std::int64_t count) {
    static std::map<std::int64_t, Bytes> files;
    Bytes& bytes = files[count];
    if (bytes.empty()) {
        test::CompoundWriter writer;
        const std::uint32_t storage = writer.addStorage(0, "Viele");
        for (std::int64_t i = 0; i < count; ++i) {
            writer.addStream(storage, "Teil" + std::to_string(i), test::patterned(8, 1));
        }
        bytes = writer.bytes();
    }
    return bytes;
}

void BM_OursManyEntries(benchmark::State& state) {
    const Bytes& bytes = manyEntries(state.range(0));
    for (auto _ : state) {
        MemoryInput input(bytes);
        benchmark::DoNotOptimize(readObjects(input));
    }
}

void BM_LibgsfManyEntries(benchmark::State& state) {
    const Bytes& bytes = manyEntries(state.range(0));
    for (auto _ : state) {
        const GObjectPtr<GsfInput> input(
            gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE));
        benchmark::DoNotOptimize(readObjectsWithLibgsf(input.get()));
    }
}

double threadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// 3,000 damaged copies of the test files, each read whole; the slowest copy is reported.
void BM_OursMutants(benchmark::State& state) {
    std::vector<Bytes> mutants;
    std::mt19937 random(3000);
    std::vector<Bytes> originals = {test::sampleDocument(3).bytes(),
                                    test::sampleDocument(4).bytes()};
    for (const auto& entry :
         fs::directory_iterator(fs::path(OSTREVAN_SOURCE_DIR) / "tests" / "data" / "compound")) {
        if (entry.path().extension() == ".cfb") {
            std::ifstream in(entry.path(), std::ios::binary);
            originals.emplace_back(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
        }
    }
    for (const Bytes& original : originals) {
        for (test::Mutant& mutant :
             test::mutantsOf(original, static_cast<int>(3000 / originals.size()) + 1, random)) {
            mutants.push_back(std::move(mutant.bytes));
        }
    }
    mutants.resize(3000);
    double slowest = 0;
    double slowestCpu = 0;
    for (auto _ : state) {
        for (const Bytes& mutant : mutants) {
            const auto start = std::chrono::steady_clock::now();
            const double startCpu = threadCpuMicroseconds();
            MemoryInput input(mutant);
            static_cast<void>(trapError([&] {
                CompoundFile file(input);
                for (const CompoundEntry& entry : file.entries()) {
                    benchmark::DoNotOptimize(file.read(entry));
                }
            }));
            const std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, took.count());
            slowestCpu = std::max(slowestCpu, threadCpuMicroseconds() - startCpu);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(mutants.size()));
    state.counters["slowest_us"] = slowest;
    state.counters["slowest_cpu_us"] = slowestCpu;
}

BENCHMARK(BM_Ours64KiB);
BENCHMARK(BM_Libgsf64KiB);
BENCHMARK(BM_Ours4MiB);
BENCHMARK(BM_Libgsf4MiB);
BENCHMARK(BM_OursRealDocuments);
BENCHMARK(BM_LibgsfRealDocuments);
BENCHMARK(BM_OursManyEntries)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
// libgsf recurses along a chain of siblings: 100,000 entries overflow its stack.
BENCHMARK(BM_LibgsfManyEntries)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_OursMutants)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ostrevan

BENCHMARK_MAIN();
