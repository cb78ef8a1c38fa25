#pragma once

// Bookkeeping of the documents an office instance has open, so that quitting
// the instance closes what its users left open.

#include <functional>
#include <map>
#include <mutex>

namespace zs {

class OpenDocuments {
public:
    void add(void* doc, std::function<void()> close) {
        std::lock_guard l(mutex_);
        closers_[doc] = std::move(close);
    }
    void remove(void* doc) {
        std::lock_guard l(mutex_);
        closers_.erase(doc);
    }
    void closeAll() {
        std::map<void*, std::function<void()>> open;
        {
            std::lock_guard l(mutex_);
            open.swap(closers_);
        }
        for (auto& [doc, close] : open)
            close();
    }

private:
    std::mutex mutex_;
    std::map<void*, std::function<void()>> closers_;
};

}  // namespace zs
