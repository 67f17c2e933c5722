#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kadivo {

// The lines of a text, without their line ends ("\r\n" or "\n").
std::vector<std::string_view> TextLines(std::string_view text);

// The comma-separated cells of a line; quotes are not used by the track files read here.
void SplitCells(std::string_view line, std::vector<std::string_view>& cells);

// A cell's number; NaN for an empty cell or "nan" in any case; false for anything else.
bool CellNumber(std::string_view cell, float& value);

}  // namespace kadivo
