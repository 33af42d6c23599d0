// The folder scan of a project tree of compound documents (64 KiB, 5 links each, 50 to a
// folder): through the real window offscreen, through the logic with fake controls, through
// ostrevan-scan with its rows streamed, and a baseline that only opens each document and reads
// its first 4 KiB. Run one tree size per process (--benchmark_filter=/10000) for a clean
// peak-memory figure; the command runs before the fake controls, so its peak is its own.

#include "app/frmMain.h"
#include "platform/Automation.h"
#include "platform/Controls.h"
#include "platform/RegistryFileTypes.h"
#include "platform/ole/LinkReaderServers.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/RegistryStore.h"
#include "scan/MainForm.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "scan/modGlobal.h"
#include "tests/support/CompoundFixture.h"
#include "tests/support/Fakes.h"
#include "tools/ostrevan-scan/ScanCommand.h"

#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <sys/resource.h>
#include <unistd.h>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;
using namespace fakes;

constexpr int kDocumentsPerFolder = 50;
constexpr std::size_t kDocumentBytes = 64 * 1024;
constexpr std::array<const char*, 4> kExtensions{".par", ".asm", ".psm", ".dft"};

// A tree of documents under a fresh temporary folder, removed at exit.
class ProjectTree final {
public:
    explicit ProjectTree(int documents) {
        std::string pattern = (fs::temp_directory_path() / "ostrevan-bench-XXXXXX").native();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        m_base = pattern;
        root = m_base + "/Projekt";
        for (int i = 0; i < documents; ++i) {
            const int folder = i / kDocumentsPerFolder;
            const std::string folderPath = root + "/Ordner " + std::to_string(folder);
            if (i % kDocumentsPerFolder == 0) {
                fs::create_directories(folderPath);
            }
            paths.push_back(folderPath + "/Teil " + std::to_string(i) +
                            kExtensions[static_cast<std::size_t>(i) % kExtensions.size()]);
        }
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const std::vector<fixture::FixtureLink> links{
                {paths[(i + 1) % paths.size()]},
                {paths[(i + 7) % paths.size()]},
                {m_base + "/Normteile/Schraube M" + std::to_string(i % 20) + ".par"},
                {m_base + "/Normteile/Mutter M" + std::to_string(i % 20) + ".par"},
                {"C:\\Bibliothek\\Scheibe " + std::to_string(i % 50) + ".par"}};
            fixture::writeCompoundDocument(paths[i], links, kDocumentBytes);
        }
    }
    ~ProjectTree() { fs::remove_all(m_base); }
    ProjectTree(const ProjectTree&) = delete;
    ProjectTree& operator=(const ProjectTree&) = delete;

    // Holds no LinkMgmt.txt (the default link rules) and the benchmark's registry store.
    std::string configFolder() const { return m_base; }

    std::string root;
    std::vector<std::string> paths;

private:
    std::string m_base;
};

const ProjectTree& projectTree(int documents) {
    static std::map<int, std::unique_ptr<ProjectTree>> trees;
    auto& tree = trees[documents];
    if (!tree) {
        tree = std::make_unique<ProjectTree>(documents);
    }
    return *tree;
}

// Two links of each document lie outside the chosen folder (the third names a file in
// C:\, which is outside too): three rows a document.
constexpr std::int32_t kRowsPerDocument = 3;

double peakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void report(benchmark::State& state, int documents) {
    state.SetItemsProcessed(state.iterations() * documents);
    state.counters["documents_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * documents), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peakMegabytes();
}

// The window's services as the program has them; the registry store is a new one, which
// holds the Solid Edge file types.
struct Services {
    RegistryStore registry;
    RegistryFileTypes types{registry};
    PosixFileSystem fileSystem{types};
    Automation automation;
    FakeMessageBox messages;
    FakeMousePointer pointer;

    explicit Services(const std::string& configFolder)
        : registry(configFolder + "/registry.sqlite3") {
        registerLinkReaderServers(automation, configFolder, [](const std::string&) {});
    }
};

void folderScanThroughTheWindow(benchmark::State& state) {
    const auto documents = static_cast<int>(state.range(0));
    const ProjectTree& tree = projectTree(documents);
    Services services(tree.configFolder());
    FakeScreen screen{19200, 14400};
    FakeShell shell;
    FakeFileDialog fileDialog;
    FakeFolderChooser folderChooser;
    frmMain window(MainWindowServices{services.messages, services.pointer, screen,
                                      services.automation, services.fileSystem, shell, fileDialog,
                                      folderChooser, tree.root, [](int) {
                                      }});
    window.show();
    auto* weiter = window.findChild<QPushButton*>(QStringLiteral("btn_Weiter"));
    auto* anzeigen = window.findChild<QPushButton*>(QStringLiteral("btn_ReferenzView"));
    weiter->click();
    folderChooser.choose(tree.root);
    window.findChild<QPushButton*>(QStringLiteral("btn_Folder"))->click();
    weiter->click();
    QApplication::processEvents();
    for (auto _ : state) {
        anzeigen->click();
        QApplication::processEvents();
    }
    if (window.form().ListView1.count() != documents * kRowsPerDocument ||
        !services.messages.messages.empty()) {
        state.SkipWithError("the scan did not find every link");
    }
    report(state, documents);
}

// A label that keeps only its caption: the recording fake would keep every caption of the
// scan and make memory grow with each run.
class PlainLabel final : public Label {
public:
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& caption) override { m_caption = caption; }
    void refresh() override { benchmark::DoNotOptimize(m_caption.data()); }

private:
    std::string m_caption;
};

// The scan's context over fake controls, the folder of tree chosen with its sub-folders.
struct FakeControls {
    explicit FakeControls(const ProjectTree& tree) : services(tree.configFolder()) {
        fake.txt_SEDokument.value = tree.root;
        settings.SetSettings(1);
    }

    Services services;
    FakeForm fake;
    PlainLabel lbl_references;
    PlainLabel lbl_CheckRef;
    MainForm form{lbl_references,   lbl_CheckRef,    fake.txt_SEDokument,     fake.btn_Weiter,
                  fake.btn_zurueck, fake.btn_export, fake.chk_FolderRekursiv, fake.com_RefType,
                  fake.ListView1,   fake.SSTab1};
    clsSettings settings{form};
    ScanContext context{form,
                        settings,
                        services.messages,
                        services.pointer,
                        services.automation,
                        services.fileSystem};
};

void folderScanWithFakeControls(benchmark::State& state) {
    const auto documents = static_cast<int>(state.range(0));
    const ProjectTree& tree = projectTree(documents);
    FakeControls controls(tree);
    ModGlobalProcedures procedures(controls.context);
    for (auto _ : state) {
        btn_ReferenzView_Click(controls.context, procedures);
    }
    if (controls.fake.ListView1.count() != documents * kRowsPerDocument ||
        !controls.services.messages.messages.empty()) {
        state.SkipWithError("the scan did not find every link");
    }
    report(state, documents);
}

// Only the first half, RekursivFolder: the walk and the type descriptions, no document read.
void collectingWithFakeControls(benchmark::State& state) {
    const auto documents = static_cast<int>(state.range(0));
    const ProjectTree& tree = projectTree(documents);
    FakeControls controls(tree);
    std::int32_t count = 0;
    for (auto _ : state) {
        std::string path = tree.root;
        DocumentFileList files;
        count = 0;
        RekursivFolder(controls.context, path, files, count);
    }
    if (count != documents) {
        state.SkipWithError("the walk did not find every document");
    }
    report(state, documents);
}

// Counts the lines written to it and keeps nothing, as a pipe to another program would.
class LineCounter final : public std::streambuf {
public:
    std::int64_t lines = 0;

protected:
    int_type overflow(int_type c) override {
        lines += c == '\n' ? 1 : 0;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        lines += std::count(text, text + count, '\n');
        return count;
    }
};

void folderScanByTheCommand(benchmark::State& state) {
    const auto documents = static_cast<int>(state.range(0));
    const ProjectTree& tree = projectTree(documents);
    Services services(tree.configFolder());
    LineCounter counter;
    std::ostream out(&counter);
    std::ostringstream err;
    const ScanCommandEnvironment environment{out, err, false, services.fileSystem,
                                             tree.configFolder()};
    int status = 0;
    for (auto _ : state) {
        counter.lines = 0;
        status = runScanCommand({"-r", "-q", "--format", "csv", tree.root}, environment);
    }
    if (status != kScanRowsListed || counter.lines != 1 + documents * kRowsPerDocument) {
        state.SkipWithError("the command did not list every link");
    }
    report(state, documents);
}

void openAndReadFirstBlock(benchmark::State& state) {
    const auto documents = static_cast<int>(state.range(0));
    const ProjectTree& tree = projectTree(documents);
    std::array<char, 4096> block{};
    for (auto _ : state) {
        for (const std::string& path : tree.paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::read(fd, block.data(), block.size()) != 4096) {
                state.SkipWithError("a document could not be read");
            }
            ::close(fd);
            benchmark::DoNotOptimize(block);
        }
    }
    report(state, documents);
}

void treeSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
}

BENCHMARK(openAndReadFirstBlock)->Apply(treeSizes);
BENCHMARK(collectingWithFakeControls)->Apply(treeSizes);
BENCHMARK(folderScanByTheCommand)->Apply(treeSizes)->Arg(100000);
BENCHMARK(folderScanWithFakeControls)->Apply(treeSizes)->Arg(100000);
BENCHMARK(folderScanThroughTheWindow)->Apply(treeSizes);

} // namespace
} // namespace ostrevan
