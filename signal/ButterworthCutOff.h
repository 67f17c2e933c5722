#pragma once

#include "SequenceOptions.h"

#include <utility>
#include <vector>

namespace kadivo {

// A cut-off chosen from the data, with the evidence it was chosen on.
struct CutOffChoice {
    double cutOff = 0.0;  // Hz
    // The criterion against the cut-off in Hz: the residual's RMS for residual analysis, the
    // whiteness test's statistic for the whiteness of the residual.
    std::vector<std::pair<double, double>> curve;
    // Residual analysis: the noise line, RMS residual = intercept + slope · cut-off, fitted
    // where only noise is left (from a quarter of the rate up).
    double noiseIntercept = 0.0, noiseSlope = 0.0;
    // Whiteness: the statistic's 95 % limit; `passed` is false when no cut-off reached it
    // and the highest one tried was taken.
    double limit = 0.0;
    bool passed = true;
};

// The fewest values a cut-off is chosen from; shorter series keep the given one.
inline constexpr int kFewestValuesForACutOff = 20;

// Residual analysis. The RMS residual between the series and its filtered self falls as the
// cut-off rises; once only noise is left it falls along a straight line. The cut-off is the
// knee where the residual has come down onto that line, extrapolated back: where the signal's
// share of the residual power is down to 1 % of the signal's power (the series' power about
// its straight line less the noise's, the line's value at 0 Hz).
// A series that is all noise (or constant) gets the lowest cut-off tried, rate / 200.
CutOffChoice ResidualAnalysisChoice(const std::vector<double>& series, double rate);

// Whiteness of the residual: the lowest cut-off at which the residual's autocorrelation over
// lags 1 to 10 is that of white noise passed through what the filter removes (a χ² test at
// 95 %). It removes nothing the data could show to be signal, so it rises with the ratio of
// signal to noise.
CutOffChoice WhitenessChoice(const std::vector<double>& series, double rate);

// The choice by `method` (kResidualAnalysisCutOff or kWhitenessCutOff).
CutOffChoice ChooseCutOff(int method, const std::vector<double>& series, double rate);

}  // namespace kadivo
