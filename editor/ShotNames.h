#pragma once

#include <QDateTime>
#include <QString>
#include <array>

// Names and places of a record's screenshot files, and which slot a new picture takes.
//
// Slots 0-4 hold the question's pictures (columns sshot1 .. sshot5), slots 5-9 the
// answer's (sshot6 .. sshot10). A slot's tag is the path of its file: a capture or an
// attached picture until the record is saved, a path on the screenshot share after.

inline constexpr int kShotSlots = 10;
inline constexpr int kSlotsPerHalf = 5;
// nShotSel when no slot is selected.
inline constexpr int kNoShotSelected = 10;
// The longest path of an attached picture, in CP949 bytes.
inline constexpr int kMaxAttachPathBytes = 100;

using ShotTags = std::array<QString, kShotSlots>;

// `text` without blanks and the characters / : * ? < > |.
QString CleanFileName(const QString& text);

// The screen name as it stands in stored file names: trimmed, cleaned and escaped like
// a statement text (an apostrophe is doubled).
QString ShotNamePart(const QString& screenName);

// The file name of slot `slot` of record `seq`: seq + "_" + name part + "_" + slot + ".jpg".
QString StoredShotName(long seq, const QString& screenName, int slot);
// Its stored path in the share's screenshot folder on `shareHost`.
QString StoredShotPath(const QString& shareHost, long seq, const QString& screenName, int slot);

// False when `fileName` could not be a file name on every client: a path separator, a
// double quote or a control character in it.
bool IsPortableFileName(const QString& fileName);

// The file a capture is written to: captureDir + "/" + screen name as typed + "_" +
// "YYYY-MMDDhhmmss" + "_scr.jpg".
QString CaptureFilePath(const QString& captureDir, const QString& screenName, const QDateTime& at);

// The slot that takes a new picture in half 0 (question) or 1 (answer): the first empty
// one of its first four slots, else its last slot, whose picture is replaced.
int TargetSlot(const ShotTags& tags, int half);

// The half a slot belongs to.
constexpr int HalfOfSlot(int slot)
{
    return slot < kSlotsPerHalf ? 0 : 1;
}
