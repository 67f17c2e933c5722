#include "FilterOverride.h"

#include "CKadivoDoc.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace kadivo::cli {

std::vector<std::string> TakeFilterOverride(const std::vector<std::string>& args, FilterOverride& filter) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--filter" && args[i] != "--cutoff") {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size()) throw std::invalid_argument(args[i] + " takes a value");
        const std::string& value = args[++i];
        if (args[i - 1] == "--filter") {
            if (value == "spline") filter.filtering = 1;
            else if (value == "lowpass") filter.filtering = kFrequencyFiltering;
            else if (value == "butterworth") filter.filtering = kButterworthFiltering;
            else throw std::invalid_argument("--filter takes spline, lowpass or butterworth");
            continue;
        }
        if (value == "auto" || value == "whiteness") {
            filter.cutOffMethod = value == "auto" ? kResidualAnalysisCutOff : kWhitenessCutOff;
            continue;
        }
        float hertz = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), hertz);
        if (error != std::errc() || end != value.data() + value.size() || !std::isfinite(hertz) || hertz <= 0)
            throw std::invalid_argument("--cutoff takes auto, whiteness or a frequency in Hz above 0");
        filter.cutOff = hertz;
        filter.cutOffMethod = kGivenCutOff;
    }
    return rest;
}

void ApplyFilterOverride(const FilterOverride& filter, CKadivoDoc& doc) {
    if (filter.filtering) doc.options.filtering = *filter.filtering;
    if (filter.cutOff) doc.options.cutOffFrequency = *filter.cutOff;
    if (filter.cutOffMethod) doc.options.cutOffMethod = *filter.cutOffMethod;
    if (doc.options.filtering != kButterworthFiltering || doc.options.cutOffMethod != kGivenCutOff) return;
    if (ButterworthTakesCutOff(doc.options.cutOffFrequency, doc.framePeriod)) return;
    char text[160];
    std::snprintf(text, sizeof text, "the cut-off of %g Hz is not below half the frame rate (%g Hz)",
                  static_cast<double>(doc.options.cutOffFrequency), doc.HasUsableFramePeriod() ? 0.5 / doc.framePeriod : 0.0);
    throw std::runtime_error(text);
}

}  // namespace kadivo::cli
