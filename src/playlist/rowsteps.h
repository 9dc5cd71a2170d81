#pragma once

// One step of the playlist rows' plus and minus buttons. The bounds only pull back a value
// that has reached them, so 99.9 s steps to 100.1 s and only then to 100 s.
namespace RowSteps {

constexpr double minShowTime = 0.2;
constexpr double maxShowTime = 100.0;
constexpr double showTimeStep = 0.2;
constexpr int minLoopCount = 1;
constexpr int maxLoopCount = 255;

inline double showTimeUp(double t) { return t >= maxShowTime ? maxShowTime : t + showTimeStep; }
inline double showTimeDown(double t) { return t <= minShowTime ? minShowTime : t - showTimeStep; }
inline int loopCountUp(int n) { return n > maxLoopCount - 1 ? maxLoopCount : n + 1; }
inline int loopCountDown(int n) { return n < minLoopCount + 1 ? minLoopCount : n - 1; }

} // namespace RowSteps
