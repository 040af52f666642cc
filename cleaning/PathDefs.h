// The built-in cleaning definitions: one section per catalogue application
// (two for "Real Player 8"), written in the definitions language of
// erasers/modDefinitions.h. The two texts are written to the definitions file
// in this order; their lines end in CR LF.
#pragma once

#include <string>

namespace nimbrel {

extern const std::string txtPathDefs1;  // sections "ACDSee 4.0" to "ICQ2003B"
extern const std::string txtPathDefs2;  // sections "iMesh" to "Zone Alarm Logs"

}  // namespace nimbrel
