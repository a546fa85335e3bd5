#pragma once
// The one function through which the engine reports to the viewer and asks it questions:
// fn(code, param, data, user). Questions are answered through `data` before the call returns.

#include <cstdint>

using ReplayCallback = void (*)(unsigned int code, std::intptr_t param, void* data, void* user);

namespace replay {

// Codes of the messages the catalogue sends.
constexpr unsigned kTimeIndexMismatch = 98;  // question: int, left above 0 to rebuild
constexpr unsigned kProgress = 112;
constexpr unsigned kTimeListEntry = 122;     // data: CTimeList
constexpr unsigned kGetEntry = 140;          // question: fill the CTimeList of entry param
constexpr unsigned kNextEntry = 141;         // question: int, param written back when it exists
constexpr unsigned kCurrentEntry = 142;      // question: int
constexpr unsigned kFirstSelected = 144;     // question: int
constexpr unsigned kNextSelected = 145;      // question: int
constexpr unsigned kUnreadableFile = 200;    // data: the file's path (char*)
// The viewer's second list answers the same questions ten codes higher.
constexpr unsigned kSecondListOffset = 10;

} // namespace replay
