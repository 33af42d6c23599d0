#include "platform/ole/LargeStack.h"

#include "platform/Error.h"

#include <exception>
#include <pthread.h>

namespace ostrevan {
namespace {

struct Job {
    const std::function<void()>& body;
    std::exception_ptr failure;
};

void* run(void* argument) {
    auto* job = static_cast<Job*>(argument);
    try {
        job->body();
    } catch (...) {
        job->failure = std::current_exception();
    }
    return nullptr;
}

} // namespace

void runWithStack(std::size_t stackBytes, const std::function<void()>& body) {
    Job job{body, nullptr};
    pthread_attr_t attributes;
    pthread_t thread;
    const bool started = pthread_attr_init(&attributes) == 0 &&
                         pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                         pthread_create(&thread, &attributes, run, &job) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) {
        raise(err::OutOfMemory);
    }
    pthread_join(thread, nullptr);
    if (job.failure) {
        std::rethrow_exception(job.failure);
    }
}

} // namespace ostrevan
