#pragma once
#include <optional>
#include <string>

// A loading page that has to wait for the site page panel's first document. It goes into that
// document once it completes; if the blank document cannot even be made, the target it leads to
// is opened directly, since the page itself only leads there.
class PendingLoadingPage {
  public:
    void Wait(std::string page, std::string target) {
        page_ = std::move(page);
        target_ = std::move(target);
    }
    // A document completed: the page to load into it, once.
    std::optional<std::string> TakePage() { return Take(page_); }
    // The navigation to the blank document failed: the target to open instead, once.
    std::optional<std::string> TakeTarget() { return Take(target_); }

  private:
    std::optional<std::string> Take(std::optional<std::string>& wanted) {
        std::optional<std::string> out = std::move(wanted);
        page_.reset();
        target_.reset();
        return out;
    }
    std::optional<std::string> page_;
    std::optional<std::string> target_;
};
