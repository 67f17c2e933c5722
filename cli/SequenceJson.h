#pragma once

#include <cstdio>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

// Prints every stored field of a sequence as one JSON object, under the field names the
// document uses.
void PrintSequenceJson(const CKadivoDoc& doc, std::FILE* out);

}  // namespace kadivo::cli
