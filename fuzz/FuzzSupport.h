#pragma once

#include <string>

// A property of the code under test did not hold: print it and abort, which libFuzzer reports as a finding and
// saves the input that caused it.
void FuzzCheck(bool holds, const char* property);

// A folder of the fuzzing process's own under the temporary folder (tmpfs where there is one), emptied by
// EmptyFuzzFolder and removed when the process ends.
const std::string& FuzzFolder();
void EmptyFuzzFolder();
void WriteFuzzFile(const std::string& path, const unsigned char* data, std::size_t size);
std::string ReadFuzzFile(const std::string& path);
