#pragma once

#include <string>

namespace kadivo {

// A file box filter as "Text File (*.txt)|*.txt|All Files (*.*)|*.*||" in the form Qt's file
// boxes take: "Text File (*.txt);;All Files (*)". Each entry keeps its description; its
// patterns are put in brackets where the description does not show them, and "*.*" matches
// every file.
std::string QtFileFilter(const std::string& filter);

// The file box of "Open Video" and "Add Camera View": the containers Kadivo reads.
inline constexpr const char* kVideoFileFilter =
    "Video Files (*.avi *.mp4 *.mov *.mkv *.webm)|*.avi;*.mp4;*.mov;*.mkv;*.webm|All Files (*.*)|*.*||";

// What a file box starts at for a file of the sequence at `sequencePath`: `name` (a file or a
// pattern such as "*.avi") in the sequence's folder; `name` alone for a sequence not saved yet.
std::string BesideSequence(const std::string& sequencePath, const std::string& name);

}  // namespace kadivo
