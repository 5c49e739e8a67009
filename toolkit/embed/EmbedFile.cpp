// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: turns files into a C++ source of byte arrays, so fonts and
// pictures are compiled into the plug-in instead of read at run time.
// Usage: ovinta_embed OUT.cpp SYMBOL FILE [SYMBOL FILE ...]
// Each SYMBOL becomes `extern const unsigned char ovinta::SYMBOL[]` and
// `extern const size_t SYMBOLSize`.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 4 || (argc - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: %s OUT.cpp SYMBOL FILE [SYMBOL FILE ...]\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(out, "// Generated at build time; do not edit.\n#include <cstddef>\n\nnamespace ovinta {\n\n");
    for (int i = 2; i + 1 < argc; i += 2) {
        std::ifstream in(argv[i + 1], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i + 1]);
            std::fclose(out);
            return 1;
        }
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(out, "extern const unsigned char %s[];\nconst unsigned char %s[] = {", argv[i], argv[i]);
        for (size_t k = 0; k < bytes.size(); ++k)
            std::fprintf(out, "%s%u,", (k % 32 == 0) ? "\n" : "", bytes[k]);
        std::fprintf(out, "0};\nextern const size_t %sSize;\nconst size_t %sSize = %zu;\n\n", argv[i], argv[i],
                     bytes.size());
    }
    std::fprintf(out, "} // namespace ovinta\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
