// The progress bar the module's progress reports drive on a terminal.
#ifndef IMPORDANO_DUMP_PROGRESS_H_
#define IMPORDANO_DUMP_PROGRESS_H_

#include <cstdio>

namespace impdump {

class ProgressBar {
 public:
  // Draws on `stream` only when `enabled` (the caller checks for a terminal).
  ProgressBar(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}
  ~ProgressBar() { Finish(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Shows `fraction` of the file read; values outside [0, 1] are clamped.
  void Update(double fraction);

  // Erases the bar, if one was drawn.
  void Finish();

 private:
  std::FILE* stream_;
  bool enabled_;
  bool shown_ = false;
  int lastPercent_ = -1;
};

}  // namespace impdump

#endif  // IMPORDANO_DUMP_PROGRESS_H_
