#pragma once

#include <sys/resource.h>

namespace ostrevan::test {

// A full disk, for this process: while the object lives, a write that would make a file
// longer than the limit fails with EFBIG (SIGXFSZ is ignored meanwhile).
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

} // namespace ostrevan::test
