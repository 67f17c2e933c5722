#pragma once

#include <functional>

namespace kadivo {

// Runs work(0) .. work(count − 1), each once, on as many threads as the machine has cores
// (none beyond the caller's when there is one core or one task). The tasks must not touch
// each other's data. The first exception a task throws is thrown again once all have ended.
void ParallelFor(int count, const std::function<void(int)>& work);

}  // namespace kadivo
