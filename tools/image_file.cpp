#include "image_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>

#include "failures.h"

// The one translation unit that holds the PNG writer's code.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace tarvex_tool {

namespace {

std::string lowerExtension(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

void writePgm(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height) {
    std::ofstream file(path, std::ios::binary);
    file << "P5\n" << width << ' ' << height << "\n255\n";
    file.write(reinterpret_cast<const char*>(pixels), static_cast<std::streamsize>(width) * height);
    file.close();
    if (!file) throw ToolFailure("cannot write " + path);
}

}  // namespace

ImageFormat imageFormatOf(const std::string& path, const char* option) {
    std::string extension = lowerExtension(path);
    if (extension == ".png") return ImageFormat::Png;
    if (extension == ".pgm") return ImageFormat::Pgm;
    throw UsageError(std::string(option) + " '" + path + "': the file name must end in .png or .pgm");
}

void writeGreyImage(const std::string& path, ImageFormat format, const uint8_t* pixels, uint32_t width,
                    uint32_t height) {
    if (format == ImageFormat::Pgm) {
        writePgm(path, pixels, width, height);
        return;
    }
    if (stbi_write_png(path.c_str(), static_cast<int>(width), static_cast<int>(height), 1, pixels,
                       static_cast<int>(width)) == 0)
        throw ToolFailure("cannot write " + path);
}

}  // namespace tarvex_tool
