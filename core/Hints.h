#pragma once

namespace kadivo::hint {

// Bits of the update hint the document sends to its views.
inline constexpr int kDigitizedData = 0x001;
inline constexpr int kVideoOptions = 0x002;
inline constexpr int kRefetchImage = 0x100;
inline constexpr int kResizeFrame = 0x400;
inline constexpr int kNoVideo = 0x800;
inline constexpr int kSequenceOpened = 0x1000;

// The hints sent, by what sends them.
inline constexpr int kPointsAdded = kDigitizedData;                                     // 1
inline constexpr int kNewFrame = kRefetchImage;                                         // 256
inline constexpr int kPointsRemoved = kRefetchImage | kDigitizedData;                   // 257
inline constexpr int kVideoOptionsChanged = kRefetchImage | kVideoOptions | kDigitizedData;  // 259
inline constexpr int kNewFrameResized = kNewFrame | kResizeFrame;                       // 1280
inline constexpr int kVideoOptionsResized = kVideoOptionsChanged | kResizeFrame;        // 1283
inline constexpr int kNewFrameFromData = kNoVideo | kRefetchImage;                      // 2304
inline constexpr int kRedrawFromData = kNoVideo | kRefetchImage | kDigitizedData;       // 2305
inline constexpr int kRedrawResized = kRedrawFromData | kResizeFrame;                   // 3329
inline constexpr int kOpened = kSequenceOpened | kRefetchImage;                         // 4352
inline constexpr int kOpenedResized = kOpened | kResizeFrame;                           // 5376

}  // namespace kadivo::hint
