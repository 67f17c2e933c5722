#pragma once

#include <string>
#include <string_view>

namespace kadivo {

// The name a body part gets in Kadivo: after its animal when the file tracks several.
inline std::string DeepLabCutPointName(std::string_view individual, std::string_view part) {
    return individual.empty() ? std::string(part) : std::string(individual) + "_" + std::string(part);
}

// The coordinates of a body part, in the order DeepLabCut writes its columns.
inline constexpr std::string_view kDeepLabCutCoordinates[] = {"x", "y", "likelihood"};

}  // namespace kadivo
