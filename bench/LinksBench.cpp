// Reading the links of compound documents through the Revision Manager stand-in: documents
// per second, and how much of each file the reader touches.
#include "platform/Automation.h"
#include "platform/RevisionManager.h"
#include "platform/ole/FileInput.h"
#include "platform/ole/LinkObjects.h"
#include "platform/ole/LinkReaderServers.h"
#include "tests/ole/CompoundWriter.h"
#include "tests/support/CompoundFixture.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;

struct Shape {
    const char* name;
    std::size_t fileBytes;
    int links;
    int documents;
};

constexpr Shape kSmall{"small", 64 * 1024, 5, 500};
constexpr Shape kLarge{"large", 4 * 1024 * 1024, 50, 20};
// The links of the small documents in large ones: what is read should not grow with the file.
constexpr Shape kLargeFewLinks{"large few links", 4 * 1024 * 1024, 5, 20};

// Documents of one shape in a folder of their own; every third link exists next to them.
class Corpus final {
public:
    explicit Corpus(const Shape& shape)
        : m_folder(fs::temp_directory_path() /
                   ("ostrevan-bench-links " + std::to_string(getpid()) + " " + shape.name)) {
        fs::create_directories(m_folder / "Teile");
        std::vector<fixture::FixtureLink> links;
        for (int i = 0; i < shape.links; ++i) {
            const std::string name = "Teil " + std::to_string(i) + ".par";
            links.push_back({"C:\\Konstruktion\\Teile\\" + name, "..\\Teile\\" + name});
            if (i % 3 == 0) {
                std::ofstream((m_folder / "Teile" / name).string()) << "x";
            }
        }
        // Padding that brings the documents to the size asked for: what the links and the
        // directory add is measured on a first document.
        const std::string probe = (m_folder / "Probe.asm").string();
        fixture::writeCompoundDocument(probe, links, shape.fileBytes);
        const auto overhead = fs::file_size(probe) - shape.fileBytes;
        fs::remove(probe);
        const std::size_t padding = shape.fileBytes - overhead;
        for (int i = 0; i < shape.documents; ++i) {
            m_documents.push_back(
                (m_folder / ("Baugruppe " + std::to_string(i) + ".asm")).string());
            fixture::writeCompoundDocument(m_documents.back(), links, padding);
        }
    }
    ~Corpus() {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    Corpus(const Corpus&) = delete;
    Corpus& operator=(const Corpus&) = delete;

    const std::vector<std::string>& documents() const { return m_documents; }

private:
    fs::path m_folder;
    std::vector<std::string> m_documents;
};

const Corpus& corpus(const Shape& shape) {
    static const Corpus small(kSmall);
    static const Corpus large(kLarge);
    static const Corpus largeFewLinks(kLargeFewLinks);
    return &shape == &kSmall ? small : &shape == &kLarge ? large : largeFewLinks;
}

void readLinkedDocuments(benchmark::State& state, const Shape& shape) {
    const auto& documents = corpus(shape).documents();
    Automation automation;
    registerLinkReaderServers(automation, "/nonexistent", nullptr);
    auto application = automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    std::size_t next = 0;
    std::size_t links = 0;
    for (auto _ : state) {
        auto document = application->Open(documents[next]);
        const auto linked = document->LinkedDocuments(0);
        for (const auto& link : *linked) {
            benchmark::DoNotOptimize(link->FullName());
        }
        links += linked->size();
        next = (next + 1) % documents.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["links_per_doc"] =
        static_cast<double>(links) / static_cast<double>(state.iterations());

    // What the reader touched of one document, counted by its input.
    FileInput input(documents.front());
    readLinkObjects(input);
    const auto fileBytes = static_cast<double>(fs::file_size(documents.front()));
    const auto bytesRead = static_cast<double>(input.bytesRead());
    state.counters["file_bytes"] = fileBytes;
    state.counters["bytes_read_per_doc"] = bytesRead;
    state.counters["reads_per_doc"] = static_cast<double>(input.reads());
    state.counters["read_share_percent"] = 100.0 * bytesRead / fileBytes;
}

void BM_LinkedDocuments64KiB5Links(benchmark::State& state) {
    readLinkedDocuments(state, kSmall);
}
void BM_LinkedDocuments4MiB50Links(benchmark::State& state) {
    readLinkedDocuments(state, kLarge);
}

void BM_LinkedDocuments4MiB5Links(benchmark::State& state) {
    readLinkedDocuments(state, kLargeFewLinks);
}

// One storage holding 100,000 streams besides a link site, read from memory. Laid out by
// the tests' own writer: libgsf's takes minutes for so many entries.
void BM_HundredThousandEntriesInOneStorage(benchmark::State& state) {
    test::CompoundWriter writer;
    writer.addStream(writer.addStorage(0, "JSite1"), "\x01Ole",
                     fixture::linkedObjectStream(fixture::fileMoniker("C:\\Daten\\Welle.par")));
    const std::uint32_t storage = writer.addStorage(0, "Viele");
    for (int i = 0; i < 100000; ++i) {
        writer.addStream(storage, "Teil " + std::to_string(i), {1});
    }
    const test::Bytes bytes = writer.bytes();
    for (auto _ : state) {
        MemoryInput input(bytes);
        benchmark::DoNotOptimize(readLinkObjects(input));
    }
}

BENCHMARK(BM_LinkedDocuments64KiB5Links)->UseRealTime();
BENCHMARK(BM_LinkedDocuments4MiB50Links)->UseRealTime();
BENCHMARK(BM_LinkedDocuments4MiB5Links)->UseRealTime();
BENCHMARK(BM_HundredThousandEntriesInOneStorage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ostrevan

BENCHMARK_MAIN();
