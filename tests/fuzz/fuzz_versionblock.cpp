// The version block reader (platform/ExeImage.h, platform/VersionInfo.h) on any bytes
// taken for an executable: a block it finds lies inside the file, and any block gives
// the thirteen entries.

#include "FuzzCheck.h"
#include "platform/ExeImage.h"
#include "platform/VersionInfo.h"

#include <algorithm>

namespace {

void checkEntries(const QByteArray& block)
{
    const QStringList entries = VersionInfoListFromBlock(block);
    FUZZ_CHECK(entries.size() == (block.isEmpty() ? 0 : 13));
    if (entries.isEmpty())
        return;
    const QString version = entries[2].mid(entries[2].indexOf(QLatin1Char(' ')) + 1);
    const QString kept = FormatFileVersion(version, true);
    const QString cut = FormatFileVersion(version, false);
    FUZZ_CHECK(kept.size() <= version.size() && cut.size() < std::max<qsizetype>(version.size(), 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray image = FuzzBytes(data, size);
    const QByteArray block = VersionBlockFromImage(image);
    if (!block.isEmpty())
        FUZZ_CHECK(std::search(image.begin(), image.end(), block.begin(), block.end()) != image.end());
    checkEntries(block);
    checkEntries(image); // the input taken for a block itself
    return 0;
}
