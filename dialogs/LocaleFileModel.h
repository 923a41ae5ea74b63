#pragma once

#include <QIdentityProxyModel>

// The file dialog's files with their sizes and modification times written in the
// program's locale (QLocale()): Qt's file model writes them in the system's.
class LocaleFileModel : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override;
};
