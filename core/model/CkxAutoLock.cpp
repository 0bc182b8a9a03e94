#include "model/CkxAutoLock.h"

#include <chrono>
#include <thread>

void CKXAUTOLOCK::Lock() {
    while (!TryLock()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
