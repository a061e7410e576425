#pragma once

#include <QString>

#include <optional>
#include <string>

// Where the program's resources live among Qt's resources, by resource id;
// empty for an id that has none.
QString QtResourcePath(int id);

// The text of a UTF-8 resource; nothing when it is missing or unreadable.
std::optional<std::string> LoadQtTextResource(int id);
