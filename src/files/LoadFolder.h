// The remembered folder of the last WAV file loaded through the dialog; the
// sample and bank dialogs open there.
#pragma once

#include <cstddef>

const size_t kLoadFolderSize = 256;

// Fills folder with the remembered folder, or an empty text when none is
// stored or it does not fit.
void lookUpLoadFolder(char (&folder)[kLoadFolderSize]);

// Writes into folder every component of path but the last, each followed by
// one separator; leading separators (a root, a network share) are kept, runs
// of separators count as one. False, with folder empty, when it does not fit.
bool folderOf(const char* path, char separator, char* folder, size_t capacity);

// Remembers the folder of path.
void rememberFolderOf(const char* path);
