#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo {

// A list of tuples of texts as Python's pickle writes it in its text protocol (protocol 0),
// the form in which PyTables keeps pandas' column names as HDF5 attributes. Only the
// operations such a list needs are read: marks, lists, tuples, appends, the memo, texts,
// integers and None (None and integers become their decimal text). Throws
// std::invalid_argument for anything else, and for a pickle that would build more than a
// million values.
std::vector<std::vector<std::string>> ReadPickledTuples(const std::string& pickle);

}  // namespace kadivo
