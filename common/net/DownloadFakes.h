#pragma once
// Fakes of the download ports for the native tests: a URL download that a test drives step by step,
// the file operations on real files, and a text fetch with a fixed answer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "DownloadPorts.h"

namespace fakes {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Result of a connection that could not be made (INET_E_CANNOT_CONNECT).
constexpr std::int32_t kCannotConnect = static_cast<std::int32_t>(0x800C0004u);

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class LocalFiles : public DownloadFiles {
  public:
    std::int32_t Replace(const std::string& from, const std::string& to) override {
        std::error_code ec;
        fs::rename(from, to, ec);
        return ec ? kResultFail : kResultOk;
    }
    void Remove(const std::string& path) override {
        std::error_code ec;
        fs::remove(path, ec);
    }
    std::vector<std::string> ListFiles(const std::string& folder) override {
        std::vector<std::string> paths;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file()) paths.push_back(it->path().string());
        return paths;
    }
};

// One step of a scripted download.
struct Step {
    enum Kind { Progress, Finish } kind;
    std::uint32_t progress = 0, progressMax = 0;  // Progress: the bytes so far of the whole
    std::int32_t result = kResultOk;              // Finish: the platform's answer
};
inline Step ProgressStep(std::uint32_t p, std::uint32_t m) {
    return {Step::Progress, p, m, kResultOk};
}
inline Step FinishStep(std::int32_t result) {
    return {Step::Finish, 0, 0, result};
}

// A URL download that plays what the test pushes for its address, waiting for the next step when
// it has none. The file it writes holds the first `progress` bytes of the address's body while it
// runs and the whole body once it finishes with success, as a real download would.
class ScriptedDownload : public UrlDownload {
  public:
    void SetBody(const std::string& url, std::string body) {
        std::lock_guard<std::mutex> lock(m_);
        bodies_[url] = std::move(body);
    }
    void Push(const std::string& url, const std::vector<Step>& steps) {
        std::lock_guard<std::mutex> lock(m_);
        for (const auto& s : steps) scripts_[url].push_back(s);
        cv_.notify_all();
    }

    void DeleteCacheEntry(const std::string& url) override { Log("delete " + url); }

    std::int32_t DownloadWithProgress(const std::string& url, const std::string& fileName,
                                      DownloadProgressSink& sink) override {
        Log("download " + url);
        return Play(url, fileName, &sink);
    }
    std::int32_t Download(const std::string& url, const std::string& fileName) override {
        Log("quiet download " + url);
        return Play(url, fileName, nullptr);
    }

    std::vector<std::string> Calls() const {
        std::lock_guard<std::mutex> lock(m_);
        return calls_;
    }
    std::vector<std::string> FilesWritten() const {
        std::lock_guard<std::mutex> lock(m_);
        return files_;
    }
    // Answers the sink gave, in order.
    std::vector<std::int32_t> SinkAnswers() const {
        std::lock_guard<std::mutex> lock(m_);
        return answers_;
    }
    // Progress calls that have entered the sink (they may still wait for their report).
    int SinkCalls() const { return sinkCalls_; }
    // Waits until the sink has answered `n` progress calls: the worker has looked at its stop
    // request for each of them by then.
    bool WaitForAnswers(std::size_t n) {
        std::unique_lock<std::mutex> lock(m_);
        return cv_.wait_for(lock, 10s, [&] { return answers_.size() >= n; });
    }

  private:
    void Log(const std::string& s) {
        std::lock_guard<std::mutex> lock(m_);
        calls_.push_back(s);
    }
    bool Next(const std::string& url, Step& step) {
        std::unique_lock<std::mutex> lock(m_);
        if (!cv_.wait_for(lock, 10s, [&] { return !scripts_[url].empty(); })) return false;
        step = scripts_[url].front();
        scripts_[url].pop_front();
        return true;
    }
    std::int32_t Play(const std::string& url, const std::string& fileName,
                      DownloadProgressSink* sink) {
        std::string body;
        {
            std::lock_guard<std::mutex> lock(m_);
            // An address without a body of the test's answers with some bytes: a real answer has
            // some, and an empty one is a failure of its own.
            const auto set = bodies_.find(url);
            body = set != bodies_.end() ? set->second : "the content of " + url;
            files_.push_back(fileName);
        }
        for (;;) {
            Step step;
            if (!Next(url, step)) {
                ADD_FAILURE() << "the test gave no further step for " << url;
                return kResultFail;
            }
            if (step.kind == Step::Finish) {
                if (step.result == kResultOk) WriteFile(fileName, body);
                return step.result;
            }
            WriteFile(fileName, body.substr(0, step.progress));
            if (!sink) continue;
            ++sinkCalls_;
            const auto answer = sink->OnProgress(step.progress, step.progressMax);
            {
                std::lock_guard<std::mutex> lock(m_);
                answers_.push_back(answer);
                cv_.notify_all();
            }
            if (answer == kResultAbort) return kResultAbort;
        }
    }

    mutable std::mutex m_;
    std::condition_variable cv_;
    std::map<std::string, std::string> bodies_;
    std::map<std::string, std::deque<Step>> scripts_;
    std::vector<std::string> calls_, files_;
    std::vector<std::int32_t> answers_;
    std::atomic<int> sinkCalls_{0};
};

// Answers every address with one text; a test may hold the answer back until it opens the gate.
class FakeHttpText : public HttpTextPort {
  public:
    explicit FakeHttpText(std::string answer, bool gated = false)
        : answer_(std::move(answer)), open_(!gated) {}
    std::string HttpGetText(const std::string& address) override {
        std::unique_lock<std::mutex> lock(m_);
        asked_.push_back(address);
        cv_.wait_for(lock, 10s, [&] { return open_; });
        return answer_;
    }
    void Open() {
        std::lock_guard<std::mutex> lock(m_);
        open_ = true;
        cv_.notify_all();
    }
    std::vector<std::string> Asked() const {
        std::lock_guard<std::mutex> lock(m_);
        return asked_;
    }

  private:
    mutable std::mutex m_;
    std::condition_variable cv_;
    std::string answer_;
    bool open_;
    std::vector<std::string> asked_;
};

}  // namespace fakes
