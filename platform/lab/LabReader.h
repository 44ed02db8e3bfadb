#pragma once
// The one reader of lab files. It is strict: an unknown element or attribute, a bad value, a
// duplicate key or a reference to nothing is an error naming the file and line.
#include <string>

#include "platform/lab/LabWorld.h"

namespace lab {

// The lab file: TAMSEL_LAB when set, else "lab.xml" in the program-data root.
std::string labFilePath();

// Reads the file into the world (emptied first). A missing file is an empty lab. False with
// "<file>:<line>: <reason>" when the file is not a good lab.
bool readLabFile(const std::string& path, World* world, std::string* error);

// The same for a lab given as text; `name` stands for the file in errors and `folder` is where
// relative files are.
bool readLabText(const std::string& text, const std::string& name, const std::string& folder, World* world,
                 std::string* error);

}  // namespace lab
