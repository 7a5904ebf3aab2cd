// The roots of the tables of places.
#include "app/places.h"

#include <algorithm>

using namespace platform;

namespace tolvane {

const char* const kInstallFolders[4] = {
    "C:\\Program Files (x86)\\Arduino",
    "C:\\Program Files\\Arduino",
    "C:\\Arduino",
    "C:\\bin\\Arduino",
};

bool passed_over(const Text& path) {
  // Each path once in a run, named in any letter case, with or without a
  // final "\": a folder that two tables name is checked and shown once.
  static std::vector<Text> refused;
  Text key = lower_case(path);
  if (ends_in_backslash(key)) key.pop_back();
  if (std::find(refused.begin(), refused.end(), key) != refused.end()) return true;
  if (!owned_by_another_user(path)) return false;
  refused.push_back(key);
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
