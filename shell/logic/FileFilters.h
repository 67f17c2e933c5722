#pragma once

#include <string>

namespace kadivo {

// A file box filter as "Text File (*.txt)|*.txt|All Files (*.*)|*.*||" in the form Qt's file
// boxes take: "Text File (*.txt);;All Files (*)". Each entry keeps its description; its
// patterns are put in brackets where the description does not show them, and "*.*" matches
// every file.
std::string QtFileFilter(const std::string& filter);

}  // namespace kadivo
