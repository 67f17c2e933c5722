#pragma once

namespace kadivo::hint {

// Bits of the update hint the document sends to its views.
inline constexpr int kDigitizedData = 0x001;
inline constexpr int kVideoOptions = 0x002;
inline constexpr int kRefetchImage = 0x100;
inline constexpr int kResizeFrame = 0x400;
inline constexpr int kNoVideo = 0x800;
inline constexpr int kSequenceOpened = 0x1000;

}  // namespace kadivo::hint
