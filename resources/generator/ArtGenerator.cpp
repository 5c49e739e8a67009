// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: draws every picture of the plug-in with cairo and writes them,
// PNG-encoded, as byte arrays into one C++ source with a table by resource
// number. Optionally also writes each picture as a PNG file for review.
// Usage: ovinta_art OUT.cpp FONT_DIR [PNG_DIR]

#include "ArtCommon.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace ovinta;

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT.cpp FONT_DIR [PNG_DIR]\n", argv[0]);
        return 2;
    }
    if (!loadFonts(argv[2])) {
        std::fprintf(stderr, "cannot load Liberation Sans from %s\n", argv[2]);
        return 1;
    }
    const std::string pngDir = argc > 3 ? argv[3] : "";
    std::map<int, std::vector<unsigned char>> images;
    ArtSink sink{[&](int id, Art& art) {
        images[id] = encodePng(art.surface);
        if (!pngDir.empty())
            cairo_surface_write_to_png(art.surface, (pngDir + "/" + std::to_string(id) + ".png").c_str());
    }};
    drawKnobFilms(sink);
    drawButtons(sink);
    drawScreens(sink);
    drawMeters(sink);
    drawBackground(sink);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out)
        return 1;
    std::fprintf(out, "// Generated at build time by ovinta_art; do not edit.\n");
    std::fprintf(out, "#include \"resources/ResourceBitmaps.h\"\n\nnamespace ovinta {\n\nnamespace {\n");
    for (const auto& [id, bytes] : images) {
        std::fprintf(out, "const unsigned char kImage%d[] = {", id);
        for (size_t k = 0; k < bytes.size(); ++k)
            std::fprintf(out, "%s%u,", (k % 40 == 0) ? "\n" : "", bytes[k]);
        std::fprintf(out, "};\n");
    }
    std::fprintf(out, "} // namespace\n\nconst ResourceImage kResourceImages[] = {\n");
    for (const auto& [id, bytes] : images)
        std::fprintf(out, "    {%d, kImage%d, %zu},\n", id, id, bytes.size());
    std::fprintf(out, "};\nconst int kResourceImageCount = %zu;\n\n} // namespace ovinta\n", images.size());
    return std::fclose(out) == 0 ? 0 : 1;
}
