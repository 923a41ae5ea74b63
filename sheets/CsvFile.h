#pragma once

#include "sheets/ExcelBiff.h"

#include <QStringList>

// Comma-separated values as RFC 4180 writes them: fields separated by commas, records by
// line ends, a field with a comma, a double quote or a line end between double quotes
// (a double quote in it doubled).

// Reads a CSV file's bytes as one sheet named `sheetName`: UTF-8 (with or without a
// byte-order mark) when the bytes are valid UTF-8, otherwise CP949. Every field is
// taken as text, as it stands; empty fields make no cell. `codePage` in the book says
// which encoding was read: 65001 (UTF-8) or 949.
void ReadCsvBook(const QByteArray& data, const QString& sheetName, ExcelBook& book);

// One record of fields, quoted where needed, ended by CR LF.
QByteArray CsvLine(const QStringList& fields);
// The UTF-8 byte-order mark that starts the files the export writes.
inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
