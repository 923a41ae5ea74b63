#include "editor/PictureDialog.h"

#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/MsgBox.h"

#include <QFileInfo>

QString OpenPictureDialog(const QString& title, const QString& initialName, const QString& filter)
{
    if (gLastPicDir.isEmpty() || !QFileInfo(gLastPicDir).isDir())
        gLastPicDir = DataDir();
    const QString path = OpenFileDialog(title, gLastPicDir, initialName,
                                        filter.isEmpty() ? QString::fromUtf8(kPictureFilter) : filter);
    if (!path.isEmpty()) {
        const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        gLastPicDir = path.left(qMax<qsizetype>(cut, 0));
    }
    return path;
}
