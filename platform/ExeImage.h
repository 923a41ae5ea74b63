#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Finds the VS_VERSIONINFO block of an executable: in the resource section of a Windows
// (PE) file, or in the section of a little-endian ELF file into which this project's build writes the same
// block. Anything else, and any truncated or inconsistent file, gives an empty result.

inline constexpr const char* kElfVersionSection = ".versioninfo";

QByteArray VersionBlockFromImage(QByteArrayView image);
QByteArray ReadVersionBlock(const QString& path);
