#include "progress.h"

#include <string>

namespace impdump {
namespace {
constexpr int kBarWidth = 30;
constexpr char kLabel[] = "reading ";
}  // namespace

void ProgressBar::Update(double fraction) {
  if (!enabled_) return;
  if (!(fraction >= 0.0)) fraction = 0.0;  // also NaN
  if (fraction > 1.0) fraction = 1.0;
  int percent = static_cast<int>(fraction * 100.0);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  int filled = static_cast<int>(fraction * kBarWidth);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  std::fprintf(stream_, "\r%s[%s] %3d%%", kLabel, bar.c_str(), percent);
  std::fflush(stream_);
  shown_ = true;
}

void ProgressBar::Finish() {
  if (!shown_) return;
  int width = static_cast<int>(sizeof kLabel - 1) + kBarWidth + 7;
  std::fprintf(stream_, "\r%*s\r", width, "");
  std::fflush(stream_);
  shown_ = false;
  lastPercent_ = -1;
}

}  // namespace impdump
