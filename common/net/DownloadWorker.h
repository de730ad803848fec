#pragma once
// What the download threads and the components that start them have in common.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "DownloadPorts.h"
#include "WorkerThread.h"

// A worker that fetches one address into one file and then reports exactly once on the
// user-interface thread: completion when the work answered kResultOk, failure with its result
// otherwise. `Thread` is the class that derives from it; it names the sender of the reports.
template <typename Thread>
class DownloadWorker : public WorkerThread {
  public:
    using CompleteEvent = std::function<void(Thread& sender)>;
    using FailEvent = std::function<void(Thread& sender, std::int32_t reason)>;

    const std::string& URL() const { return url_; }
    const std::string& FileName() const { return fileName_; }
    // Meaningful inside the reports only.
    std::int32_t Result() const { return result_; }

  protected:
    // Never runnable without both reports, the address and the file name, nor when `ready` (what
    // the thread itself needs) is false.
    DownloadWorker(std::shared_ptr<SyncReport> report, bool ready, std::string url,
                   std::string fileName, CompleteEvent complete, FailEvent fail)
        : WorkerThread(std::move(report),
                       ready && complete && fail && !url.empty() && !fileName.empty()),
          url_(std::move(url)),
          fileName_(std::move(fileName)),
          onDownloadComplete_(std::move(complete)),
          onDownloadFail_(std::move(fail)) {}

    // The thread starts only once a shared pointer owns it; it keeps itself alive from then on.
    template <typename... Args>
    static std::shared_ptr<Thread> Make(bool createSuspended, Args&&... args) {
        std::shared_ptr<Thread> thread(new Thread(std::forward<Args>(args)...));
        thread->Start(createSuspended);
        return thread;
    }

    // The work of the thread; its result decides the report.
    virtual std::int32_t Fetch() = 0;
    // After the report.
    virtual void Reported() {}

  private:
    void Execute() final {
        result_ = Fetch();
        auto& sender = static_cast<Thread&>(*this);
        if (result_ == kResultOk)
            Synchronize([&] { onDownloadComplete_(sender); });
        else
            Synchronize([&] { onDownloadFail_(sender, result_); });
        result_ = -1;
        Reported();
    }

    std::int32_t result_ = -1;
    const std::string url_;
    const std::string fileName_;
    const CompleteEvent onDownloadComplete_;
    const FailEvent onDownloadFail_;
};

// The download thread that a component runs now, and the link through which every thread it
// started reaches it. The component's end cuts the link: a thread that outlives the component, or
// was superseded, reports to nobody from then on. Use it on the user-interface thread only, where
// the reports run too.
template <typename Thread>
class CurrentDownload {
  public:
    CurrentDownload() = default;
    // Asks the current thread to stop; does not wait for it.
    ~CurrentDownload() {
        link_->attached = false;
        if (current_) current_->Terminate();
    }
    CurrentDownload(const CurrentDownload&) = delete;
    CurrentDownload& operator=(const CurrentDownload&) = delete;

    std::shared_ptr<Thread> Get() const { return current_; }

    // `handler` for a thread's report: it runs only while the component lives.
    template <typename Handler>
    auto WhileAttached(Handler handler) const {
        return [link = link_, handler = std::move(handler)](auto&&... args) {
            if (link->attached) handler(std::forward<decltype(args)>(args)...);
        };
    }

    // Nothing when either path is blank. Otherwise a running thread is asked to stop, and the
    // thread that `create` makes (suspended) becomes the current one and starts.
    template <typename Create>
    void Begin(const std::string& source, const std::string& destination, Create create) {
        if (IsBlank(source) || IsBlank(destination)) return;
        if (current_) current_->Terminate();
        current_ = create();
        current_->OnTerminate = WhileAttached([this](WorkerThread& sender) {
            if (current_.get() == &sender) current_.reset();
        });
        current_->Resume();
    }

  private:
    struct Link {
        bool attached = true;
    };
    const std::shared_ptr<Link> link_ = std::make_shared<Link>();
    std::shared_ptr<Thread> current_;
};
