// The table of every embedded resource, written at build time by
// quarvelle_embed into embedded_data.cpp. Only resources/embedded.cpp and the
// resource tests read it; the program asks FindEmbeddedResource.
#pragma once

#include <cstddef>

#include "resources/embedded.h"

extern const EmbeddedResource EmbeddedTable[];
extern const std::size_t EmbeddedTableSize;
