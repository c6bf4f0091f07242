// The files the patch tests read, compiled in, by their path from the top of
// the repository ("examples/tour.ksim", "tests/patches/corpus/NAME.maxpat").
#ifndef PATCH_FILES_H
#define PATCH_FILES_H

#include <map>
#include <string>

const std::map<std::string, std::string> &files();

#endif
