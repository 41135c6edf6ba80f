#include "artwork.h"

#include "pictures.h"

#include <filesystem>
#include <fstream>

namespace verz::art {

std::vector<ArtFile> DrawArtwork()
{
    std::vector<ArtFile> files;
    files.push_back({"skin.bmp", encodeBmp24(DrawSkin())});
    files.push_back({"globe.ico", encodeIco8(DrawGlobe())});
    files.push_back({"up_arrow.bmp", encodeBmp24(DrawUpArrow())});
    files.push_back({"service_logo.gif", encodeGif87a(DrawServiceLogo())});
    for (const char *code : {"fr", "en", "es", "de", "pt", "it"})
        files.push_back({std::string("flag_") + code + ".ico", encodeIco8(DrawFlag(code))});
    // The program's icon for menus, docks and software centres, drawn at each size.
    for (const int size : kIconSizes)
        files.push_back(
            {"icons/verzolan-" + std::to_string(size) + ".png", encodePng(DrawGlobeIcon(size))});
    const std::string svg = DrawGlobeSvg();
    files.push_back({"icons/verzolan.svg", Bytes(svg.begin(), svg.end())});
    return files;
}

bool WriteArtwork(const std::string &directory, std::string &error)
{
    for (const ArtFile &file : DrawArtwork()) {
        const std::string path = directory + "/" + file.name;
        std::error_code made;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), made);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace verz::art
