#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The thirteen "Key: value" entries read from a VS_VERSIONINFO block: CompanyName,
// FileDescription, FileVersion, InternalName, LegalCopyright, OriginalFilename,
// ProductName, ProductVersion, Comments, LegalTrademarks, PrivateBuild, SpecialBuild
// (each "Not specified" when absent) and Language. An empty block gives an empty list.
QStringList VersionInfoListFromBlock(const QByteArray& block);

// The entries of the version resource of an executable; empty when it has none.
QStringList GetVersionInfoList(const QString& path);

// A FileVersion value as the update check compares it. keepLastPart: the last part
// written as a whole number ("1.00.0015" -> "1.00.15"); otherwise the text before the
// last "." ("2.0.0.7" -> "2.0.0").
QString FormatFileVersion(const QString& value, bool keepLastPart);

// The FileVersion of an executable through FormatFileVersion; empty when the file has
// no version resource or no FileVersion. The third argument is not used.
QString GetFileVer(const QString& path, bool keepLastPart, bool unused = false);
