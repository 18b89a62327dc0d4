// The texture catalogue's files as they lie under data/ and the slots they must reach, written out
// here rather than taken from the production, so that a wrong name or slot shows.
#pragma once

#include <GL/gl.h>

#include <vector>

struct CatalogueEntry {
    const char* File;
    GLuint* Slot;
};
extern const std::vector<CatalogueEntry> FirstBatch;
extern const std::vector<CatalogueEntry> SecondBatch;
// Both batches, in loading order.
std::vector<CatalogueEntry> AllCatalogueEntries();
