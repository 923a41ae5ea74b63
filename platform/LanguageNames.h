#pragma once

#include <QString>

// English name of a Windows language identifier: the first four characters of `code`
// ("041204b0" -> "0412"), compared in upper case. Empty text when not known.
QString LanguageName(const QString& code);

struct LanguageEntry
{
    const char* id;   // four upper-case hexadecimal digits
    const char* name; // UTF-8
};

// The whole table, in lookup order.
const LanguageEntry* LanguageTable(int* count);
