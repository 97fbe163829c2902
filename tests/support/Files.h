#pragma once
// Whole files in and out, for tests, benchmarks and fuzz replays.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport
{

// Every byte of the file; empty when it cannot be opened.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The file as text, byte for byte (no line-end conversion); empty when it
// cannot be opened.
std::string ReadFileText(const std::string& path);

// Writes the bytes as the whole file, making the folders on its path; false
// when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}   // namespace testsupport
