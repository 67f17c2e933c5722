#pragma once

namespace kadivo {

// The trace of I − A of a spline fit depends on the series' length, the half-order and the
// smoothing parameter alone, not on the values smoothed. A search for the parameter visits
// the same parameters for many series of one length (its doubling steps are the same for
// all), and nearly all of them again when an edited series is smoothed anew, so the traces
// found are kept for the whole program, shared by every thread. A fit whose traces are all
// known skips the band of the inverse the trace comes from; its results are the same bits.

// True when the trace is known for the parameter of each of `lanes` fits of n values at
// half-order m; `traces` then holds them.
bool RecallSplineTraces(int n, int m, const double* ps, int lanes, double* traces);

// Keeps the traces the fits at these parameters found. When the memo is full it starts
// afresh, which costs only time.
void RememberSplineTraces(int n, int m, const double* ps, int lanes, const double* traces);

// Empties the memo: a benchmark that times a first smoothing calls this before each run.
void ForgetSplineTraces();

}  // namespace kadivo
