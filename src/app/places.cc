// The roots of the tables of places.
#include "app/places.h"

using namespace platform;

namespace tolvane {

const char* const kInstallFolders[4] = {
    "C:\\Program Files (x86)\\Arduino",
    "C:\\Program Files\\Arduino",
    "C:\\Arduino",
    "C:\\bin\\Arduino",
};

bool passed_over(const Text& path) {
  if (!owned_by_another_user(path)) return false;
  print_line("Passed over, as another user owns it: " + path);
  return true;
}

Text place_root(const Text& root) {
  Text folder = root;
  if (root == "<home>") {
    folder = environment_value("HomeDrive") + environment_value("HomePath");
  } else if (root == "<documents>") {
    folder = documents_folder();
  } else if (root == "<temp>") {
    // As Windows gives programs their temporary folder.
    for (const char* name : {"TMP", "TEMP", "UserProfile"}) {
      folder = environment_value(name);
      if (!folder.empty()) break;
    }
  } else if (root.size() > 2 && root.front() == '%' && root.back() == '%') {
    folder = environment_value(root.substr(1, root.size() - 2));
  }
  while (ends_in_backslash(folder)) folder.pop_back();
  return folder;
}

}  // namespace tolvane
