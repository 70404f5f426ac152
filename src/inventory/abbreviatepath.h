#pragma once

#include <string>

// Shortens a path for a field of `maximum` characters: the beginning through the first
// backslash after the first character, "...\" and the file name; when that is shorter than
// the field, as much of the beginning as fits. A path with fewer than two such backslashes,
// or no longer than the field, comes back unchanged. A file name too long for the field gives
// a result longer than the field. Lengths count UTF-16 units, as the program's strings did;
// the text is never cut inside a character.
std::string AbbreviatePath(const std::string& path, int maximum);
