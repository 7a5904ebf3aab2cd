// Reads the sketch's location from the build.options.json file that the
// Arduino IDE writes into its build folder.
#ifndef TOLVANE_APP_BUILD_OPTIONS_H_
#define TOLVANE_APP_BUILD_OPTIONS_H_

#include "platform/platform.h"

namespace tolvane {

using platform::Text;

/// The value of the top-level object's "sketchLocation" string in a
/// build.options.json document, in UTF-8; empty when the document is not
/// valid JSON, is not an object, lacks that member or it is not a string, or
/// its value cannot name a file.
Text sketch_location(const Text& json);

}  // namespace tolvane

#endif  // TOLVANE_APP_BUILD_OPTIONS_H_
