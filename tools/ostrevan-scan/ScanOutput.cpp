#include "tools/ostrevan-scan/ScanOutput.h"

#include "platform/Error.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <random>
#include <system_error>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;

std::string errnoText(int errnoValue) {
    const std::int32_t number = errorNumberForErrno(errnoValue);
    return errorDescription(number) + " (" + std::to_string(number) + ")";
}

class StandardOutput final : public ScanOutput {
public:
    explicit StandardOutput(std::ostream& out) : m_out(out) {}

    void write(std::string_view bytes) override {
        if (m_out) {
            m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
    bool commit() override { return static_cast<bool>(m_out.flush()); }
    std::string failure() const override {
        return m_out ? std::string() : "die Standardausgabe kann nicht geschrieben werden";
    }

private:
    std::ostream& m_out;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class AtomicOutputFile final : public ScanOutput {
public:
    AtomicOutputFile(std::string path, OutputFault fault)
        : m_path(std::move(path)), m_fault(std::move(fault)) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(m_path, error);
        if (fs::exists(status) && !fs::is_regular_file(status)) {
            m_failure = m_path + ": ist keine gewöhnliche Datei und wird nicht ersetzt";
            return;
        }
        create();
    }
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    ~AtomicOutputFile() override { discard(); }

    void write(std::string_view bytes) override {
        if (!m_file) {
            return;
        }
        const int injected = injectedErrno(OutputStep::Write);
        errno = 0;
        if (injected != 0 ||
            std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size()) {
            fail(injected != 0 ? injected : errno);
        }
    }

    bool commit() override {
        if (!m_file) {
            return false;
        }
        const int closeFault = injectedErrno(OutputStep::Close);
        errno = 0;
        const bool closed = std::fclose(m_file.release()) == 0;
        if (closeFault != 0 || !closed) {
            fail(closeFault != 0 ? closeFault : errno);
            return false;
        }
        keepPermissions();
        std::error_code error;
        const int replaceFault = injectedErrno(OutputStep::Replace);
        if (replaceFault == 0) {
            fs::rename(m_temporary, m_path, error);
        }
        if (replaceFault != 0 || error) {
            fail(replaceFault != 0 ? replaceFault : error.value());
            return false;
        }
        m_temporary.clear();
        return true;
    }

    std::string failure() const override { return m_failure; }

private:
    int injectedErrno(OutputStep step) const { return m_fault ? m_fault(step) : 0; }

    // A new file beside the target, created exclusively: never an existing file or a link.
    void create() {
        const fs::path target(m_path);
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path candidate = folder / ("." + target.filename().string() + "." +
                                                 std::to_string(random()) + ".tmp");
            const int injected = injectedErrno(OutputStep::Create);
            errno = 0;
            std::FILE* file = injected != 0 ? nullptr : std::fopen(candidate.c_str(), "wbx");
            if (file != nullptr) {
                m_file.reset(file);
                m_temporary = candidate.string();
                return;
            }
            if ((injected != 0 ? injected : errno) != EEXIST) {
                fail(injected != 0 ? injected : errno);
                return;
            }
        }
        fail(EEXIST);
    }

    // The new file gets the old one's permissions, as an edited file keeps them.
    void keepPermissions() const {
        std::error_code error;
        const fs::file_status old = fs::status(m_path, error);
        if (!error && fs::is_regular_file(old)) {
            fs::permissions(m_temporary, old.permissions(), error);
        }
    }

    void fail(int errnoValue) {
        if (m_failure.empty()) {
            m_failure = m_path + ": kann nicht geschrieben werden: " + errnoText(errnoValue);
        }
        discard();
    }

    void discard() {
        m_file.reset();
        if (!m_temporary.empty()) {
            std::error_code error;
            fs::remove(m_temporary, error);
            m_temporary.clear();
        }
    }

    std::string m_path;
    OutputFault m_fault;
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::string m_temporary;
    std::string m_failure;
};

} // namespace

std::unique_ptr<ScanOutput> standardOutput(std::ostream& out) {
    return std::make_unique<StandardOutput>(out);
}

std::unique_ptr<ScanOutput> atomicOutputFile(const std::string& path, OutputFault fault) {
    return std::make_unique<AtomicOutputFile>(path, std::move(fault));
}

} // namespace ostrevan
