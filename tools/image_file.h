// Writing a grey frame (one byte per pixel) as a PNG or a binary PGM file,
// the format chosen by the file name's extension.
#pragma once

#include <cstdint>
#include <string>

namespace tarvex_tool {

enum class ImageFormat { Png, Pgm };

// The format for `path` by its extension (case-insensitive). Throws
// UsageError naming `option` for any other extension.
ImageFormat imageFormatOf(const std::string& path, const char* option);

// Writes `pixels` (width x height bytes, rows top to bottom). Throws
// ToolFailure when the file cannot be written.
void writeGreyImage(const std::string& path, ImageFormat format, const uint8_t* pixels, uint32_t width,
                    uint32_t height);

}  // namespace tarvex_tool
