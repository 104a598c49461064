// Helpers of the stand-in ticket library's tests: wide text, buffers prepared
// as the library's client prepares them, and ticket files in a temporary folder.
#pragma once

#include "convertapi/common/platform.h"

#include <cstddef>
#include <string>
#include <vector>

typedef std::basic_string<WCHAR> WideString;

WideString Widen(const std::string &utf8);
std::string Narrow(const WCHAR *text);

// `capacity` - 1 characters 0xFFFF and a zero, as the client prepares every
// output buffer.
std::vector<WCHAR> PreparedBuffer(size_t capacity);
void Prepare(WCHAR *buffer, size_t capacity);
// Whether `buffer` still holds exactly what PreparedBuffer(capacity) holds.
bool StillPrepared(const std::vector<WCHAR> &buffer);

// A path in the temporary folder, unique to the running test.
WideString TempPath(const std::string &name);
// Writes `content` to TempPath(name) and returns the path.
WideString WriteTempFile(const std::string &name, const std::string &content);

// A ticket in the file format with the given sections (already XML).
std::string TicketXml(const std::string &sections);
