// Whole-file reads and writes for the kit, with errors naming the file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qv::kit {

std::string ReadWholeFile(const std::filesystem::path& file, std::string_view what);
void WriteWholeFile(const std::filesystem::path& file, std::string_view bytes);

// The bytes of a PE file up to the end of its image, dropping anything a
// previous build appended (a package, a message file). `what` names the
// file's role in messages ("the stub").
std::string ImageBytes(const std::filesystem::path& file, std::string_view what);

}  // namespace qv::kit
