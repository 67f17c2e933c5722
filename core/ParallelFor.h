#pragma once

#include <functional>

namespace kadivo {

// Runs work(0) .. work(count − 1), each once, on the caller and on helper threads kept for
// the program's life, one per further core (the caller alone when there is one core or one
// task, or when the helpers are busy with another loop). The tasks must not touch each
// other's data. The first exception a task throws is thrown again once all have ended.
void ParallelFor(int count, const std::function<void(int)>& work);

}  // namespace kadivo
