#include "programming/progress.h"

#include <algorithm>

#include "link/platform.h"

namespace korvid::programming {
namespace {

struct Callback {
    KorvidProgressCallback function = nullptr;
    void* context = nullptr;
};

Callback& theCallback() {
    static Callback callback;
    return callback;
}

uint32_t saturated(uint64_t value) {
    return static_cast<uint32_t>(std::min<uint64_t>(value, UINT32_MAX));
}

}  // namespace

void setProgressCallback(KorvidProgressCallback callback, void* context) {
    theCallback() = {callback, context};
}

void Progress::report(uint32_t phase, uint64_t done, uint64_t total) const {
    const Callback& callback = theCallback();
    if (callback.function == nullptr) {
        return;
    }
    const KorvidProgress event{operation_, phase, saturated(done), saturated(total)};
    callback.function(&event, callback.context);
}

link::SentObserver Progress::bytesSent(uint32_t phase, uint64_t total) const {
    return [this, phase, total](size_t sentBytes) { report(phase, sentBytes, total); };
}

void Progress::reportElapsed(uint32_t phase, uint64_t startUs) const {
    const uint64_t nowUs = platform::current().clock->nowUs();
    report(phase, (nowUs - startUs) / 1000);
}

}  // namespace korvid::programming
