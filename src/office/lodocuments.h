#pragma once

// Bookkeeping of the documents an office instance has open, so that quitting
// the instance closes what its users left open, and what the word-processor
// and the spreadsheet instances share: the office session they start their
// documents in and the documents they hold.

#include <functional>
#include <map>
#include <memory>
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

class UnoSession;

// An office instance of either kind (`Interface` is WordInstance or
// SpreadsheetInstance): it holds the session and the documents it opened,
// and closes those its users left open when it quits or ends.
template <class Interface> class LoInstance : public Interface {
public:
    explicit LoInstance(std::shared_ptr<UnoSession> session) : session_(std::move(session)) {}
    ~LoInstance() override { book_->closeAll(); }

    void setVisible(bool visible) override { visible_ = visible; }
    bool isVisible() const override { return visible_; }
    void quit() override { book_->closeAll(); }

protected:
    std::shared_ptr<UnoSession> session_;
    std::shared_ptr<OpenDocuments> book_ = std::make_shared<OpenDocuments>();

private:
    bool visible_ = false;
};

}  // namespace zs
