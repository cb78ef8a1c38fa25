#pragma once

namespace zs {

// A place where a test may stop the program to kill it. When the environment
// variable ZHUOSHI_PAUSE_AT names `point`, the program writes "paused at
// <point>" to standard error and waits there until it is killed; otherwise (in
// every normal run) nothing happens.
void pausePoint(const char* point);

}  // namespace zs
