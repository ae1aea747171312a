// Measures the cost of Platform::PollEvent with an empty queue on the Qt
// platform (offscreen unless a display is chosen), the way the search calls it.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "qt_platform.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QtPlatform platform(argc, argv);
  const Handle window = platform.OpenWindow("bench", 0, 0, 400, 400, WindowKind::Resizable, 0);
  platform.AddCanvas(window, 0, 0, 400, 400, true);
  platform.ProcessPending();
  Event event;
  while (platform.PollEvent(event)) {}

  Platform& p = platform;  // called through the interface, as the shell will
  const long calls = argc > 1 ? std::atol(argv[1]) * 1000000L : 50000000L;
  long found = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < calls; ++i) found += p.PollEvent(event);
  const auto stop = std::chrono::steady_clock::now();
  const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
  std::printf("%ld polls with an empty queue: %.3f ns per call (%ld events found)\n", calls,
              ns / static_cast<double>(calls), found);
  return 0;
}
