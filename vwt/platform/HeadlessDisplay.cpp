#include "vwt/platform/HeadlessDisplay.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vwt {
namespace platform {

namespace {

class HeadlessDisplay : public Display {
 public:
  HeadlessDisplay(int width, int height) : width_(width), height_(height) {}

  void present(const PixelTarget&, const PixelRect&) override {}

  void waitEvents(int timeoutMs, InputSink&) override {
    std::unique_lock<std::mutex> g(lock_);
    if (timeoutMs < 0)
      woken_.wait(g, [this] { return wake_; });
    else
      woken_.wait_for(g, std::chrono::milliseconds(timeoutMs), [this] { return wake_; });
    wake_ = false;
  }

  void wake() override {
    std::lock_guard<std::mutex> g(lock_);
    wake_ = true;
    woken_.notify_one();
  }

  void size(int* width, int* height) const override {
    *width = width_;
    *height = height_;
  }

 private:
  int width_;
  int height_;
  std::mutex lock_;
  std::condition_variable woken_;
  bool wake_ = false;
};

}  // namespace

std::unique_ptr<Display> createHeadlessDisplay(int width, int height) {
  return std::unique_ptr<Display>(new HeadlessDisplay(width, height));
}

}  // namespace platform
}  // namespace vwt
