// Finds a compiled-in resource by name, as the Windows resource loader does:
// without regard to case. Reads the generated table; never touches a file.
#include "resources/embedded_table.h"

namespace {

char Folded(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (Folded(*a) != Folded(*b)) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

const EmbeddedResource* FindEmbeddedResource(const char* name)
{
    if (!name) {
        return nullptr;
    }
    for (std::size_t i = 0; i < EmbeddedTableSize; ++i) {
        if (SameName(EmbeddedTable[i].name, name)) {
            return &EmbeddedTable[i];
        }
    }
    return nullptr;
}
