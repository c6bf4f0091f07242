// The example scenarios of examples/, by file name, compiled in.
#ifndef SCENARIO_EXAMPLES_H
#define SCENARIO_EXAMPLES_H

#include <map>
#include <string>

const std::map<std::string, std::string> &examples();

#endif
