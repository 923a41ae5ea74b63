#include "dialogs/LocaleFileModel.h"

#include <QFileSystemModel>

namespace {

// The columns of QFileSystemModel.
constexpr int kSizeColumn = 1;
constexpr int kTimeColumn = 3;

} // namespace

QVariant LocaleFileModel::data(const QModelIndex& index, int role) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole || (index.column() != kSizeColumn && index.column() != kTimeColumn))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == kTimeColumn)
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    return files->isDir(source) ? QIdentityProxyModel::data(index, role)
                                : QVariant(QLocale().formattedDataSize(files->size(source)));
}
