#include "tools/ostrevan-scan/ScanOutput.h"

#include "platform/Error.h"
#include "platform/ReplacementFile.h"

#include <optional>
#include <ostream>

namespace ostrevan {
namespace {

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

// The report file through the one replacing writer of the program: until commit(), and after
// any failure, the old file stays as it was and the new one is gone.
class ReplacingOutputFile final : public ScanOutput {
public:
    ReplacingOutputFile(std::string path, OutputFault fault)
        : m_path(std::move(path)), m_fault(std::move(fault)) {
        attempt(OutputStep::Create, [this] { m_file = openReplacementFile(m_path); });
    }

    void write(std::string_view bytes) override {
        if (m_file) {
            attempt(OutputStep::Write, [this, bytes] { m_file->write(bytes); });
        }
    }

    bool commit() override {
        if (m_file) {
            attempt(OutputStep::Replace, [this] { m_file->commit(); });
        }
        return m_failure.empty();
    }

    std::string failure() const override { return m_failure; }

private:
    template <class Step> void attempt(OutputStep step, Step&& run) {
        const std::optional<Error> error = trapError([&] {
            if (const int injected = m_fault ? m_fault(step) : 0; injected != 0) {
                raise(errorNumberForErrno(injected));
            }
            run();
        });
        if (error && m_failure.empty()) {
            m_failure = m_path + ": kann nicht geschrieben werden: " + error->description() + " (" +
                        std::to_string(error->number()) + ")";
        }
        if (error) {
            m_file.reset();
        }
    }

    std::string m_path;
    OutputFault m_fault;
    std::unique_ptr<ReplacementFile> m_file;
    std::string m_failure;
};

} // namespace

std::unique_ptr<ScanOutput> standardOutput(std::ostream& out) {
    return std::make_unique<StandardOutput>(out);
}

std::unique_ptr<ScanOutput> atomicOutputFile(const std::string& path, OutputFault fault) {
    return std::make_unique<ReplacingOutputFile>(path, std::move(fault));
}

} // namespace ostrevan
