// Turns resource files into a C++ source of byte arrays and the table that
// resources/embedded.cpp searches. A host tool of the native build: it reads
// files and writes one source, and knows nothing of what the bytes mean.
//
// Usage: quarvelle_embed <out.cpp> <name>=<file> ...
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ReadWholeFile(const char* path, std::vector<unsigned char>& bytes)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        return false;
    }
    unsigned char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// Bytes as one string literal per 48 bytes: printable characters stay as
// they are and the rest become three-digit octal escapes, which never run on
// into the next character. Compilers take literals far faster than lists.
void WriteLiteral(std::FILE* out, const std::vector<unsigned char>& bytes)
{
    if (bytes.empty()) {
        std::fputs("    \"\"", out);
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 48 == 0) {
            std::fputs(i == 0 ? "    \"" : "\"\n    \"", out);
        }
        const unsigned char c = bytes[i];
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '?') {
            std::fputc(c, out);
        } else {
            std::fprintf(out, "\\%03o", c);
        }
    }
    std::fputc('"', out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <out.cpp> <name>=<file> ...\n", argv[0]);
        return 2;
    }
    std::vector<std::string> names;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fputs("// Made by quarvelle_embed from the files in resources/; rebuilt with them.\n"
               "#include \"resources/embedded_table.h\"\n\nnamespace {\n\n", out);
    for (int i = 2; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (!equals || equals == argv[i]) {
            std::fprintf(stderr, "expected <name>=<file>, got %s\n", argv[i]);
            std::fclose(out);
            return 2;
        }
        std::vector<unsigned char> bytes;
        if (!ReadWholeFile(equals + 1, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", equals + 1);
            std::fclose(out);
            return 1;
        }
        names.emplace_back(argv[i], static_cast<std::size_t>(equals - argv[i]));
        std::fprintf(out, "const unsigned char resource%d[] =\n", i - 2);
        WriteLiteral(out, bytes);
        std::fputs(";\n\n", out);
    }
    std::fputs("}  // namespace\n\nconst EmbeddedResource EmbeddedTable[] = {\n", out);
    for (std::size_t i = 0; i < names.size(); ++i) {
        // the literal's closing NUL is not part of the file
        std::fprintf(out, "    {\"%s\", resource%zu, sizeof resource%zu - 1},\n",
                     names[i].c_str(), i, i);
    }
    std::fprintf(out, "};\n\nconst std::size_t EmbeddedTableSize = %zu;\n", names.size());
    const bool ok = std::fclose(out) == 0;
    return ok ? 0 : 1;
}
