#pragma once

#include <QString>

// INI files in the Windows profile format: "[Section]" lines and "key=value" lines,
// CP949 text, CR LF line ends. Sections and keys match without regard to case.
namespace profile {

// Reads one value the way a fixed buffer of `bufferChars` characters does:
// at most bufferChars - 1 characters are returned. Blanks around the value and one
// pair of enclosing quotes are removed. Missing file, section or key gives `def`.
QString ReadString(const QString& path, const QString& section, const QString& key, const QString& def = {},
                   int bufferChars = 256);

// Writes one value, creating the file (not its folder), the section or the key as
// needed and keeping every other line. Returns false when the file cannot be written,
// and when it exists but cannot be read (it is then left as it is).
bool WriteString(const QString& path, const QString& section, const QString& key, const QString& value);

} // namespace profile
