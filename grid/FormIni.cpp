#include "grid/FormIni.h"

#include "common/AppPaths.h"
#include "common/MsgBox.h"
#include "common/Numbers.h"
#include "common/ProfileIni.h"
#include "grid/SpreadGrid.h"

#include <QDir>
#include <QFile>
#include <QWidget>
#include <cmath>

namespace {

constexpr int kTwipsPerPixel = 15;
const QString kPosition = QStringLiteral("FormPosition");

// Nine characters at most, as a 10-character buffer reads them.
QString readValue(const QString& path, const QString& section, const QString& key)
{
    return profile::ReadString(path, section, key, {}, 10).trimmed();
}

int toPixels(double twips)
{
    return int(std::lround(twips / kTwipsPerPixel));
}

QString toTwips(int pixels)
{
    return QString::number(qint64(pixels) * kTwipsPerPixel);
}

void reportFileError(const QString& procedure)
{
    ShowProcError(AppError{75, QStringLiteral("modFormIni"), QStringLiteral("Path/File access error")},
                  procedure, ErrScope::Module, QStringLiteral("modFormIni"));
}

// Writes values into one settings file, creating its folder; reports a failure once.
bool writeValues(const QString& path, const QString& section, const QList<QPair<QString, QString>>& values,
                 const QString& procedure)
{
    bool ok = QDir().mkpath(QFileInfo(path).absolutePath());
    for (const auto& [key, value] : values)
        ok = ok && profile::WriteString(path, section, key, value);
    if (!ok)
        reportFileError(procedure);
    return ok;
}

} // namespace

QString FormIniPath(const QString& name)
{
    return DataPath(QStringLiteral("FormIni")) + QLatin1Char('/') + name + ".ini";
}

QString SpreadIniKey(const SpreadGrid* grid, int index)
{
    return index < 0 ? grid->objectName() : grid->objectName() + QLatin1Char('_') + QString::number(index);
}

void LoadFormIni(QWidget* form, bool bPosOnly, const QString& sSuffix)
{
    if (!form)
        return;
    const QString path = FormIniPath(form->objectName() + sSuffix);
    if (!QFile::exists(path))
        return;
    if (const auto left = ParseNumber(readValue(path, kPosition, QStringLiteral("Left"))); left && *left > 0)
        form->move(toPixels(*left), form->y());
    if (const auto top = ParseNumber(readValue(path, kPosition, QStringLiteral("Top"))); top && *top > 0)
        form->move(form->x(), toPixels(*top));
    if (!bPosOnly) {
        if (const auto width = ParseNumber(readValue(path, kPosition, QStringLiteral("Width"))))
            form->resize(toPixels(*width), form->height());
        if (const auto height = ParseNumber(readValue(path, kPosition, QStringLiteral("Height"))))
            form->resize(form->width(), toPixels(*height));
        const auto state = ParseNumber(readValue(path, kPosition, QStringLiteral("WindowState")));
        if (state && *state == 2 && !form->isMaximized())
            form->setWindowState(form->windowState() | Qt::WindowMaximized);
    }
    for (SpreadGrid* grid : form->findChildren<SpreadGrid*>())
        LoadSpreadIni(grid, path, grid->Index());
}

void SaveFormIni(QWidget* form, const QString& sSuffix)
{
    if (!form || !form->isVisible() || form->isMinimized())
        return;
    const bool maximized = form->isMaximized();
    QList<QPair<QString, QString>> values{{QStringLiteral("WindowState"), maximized ? "2" : "0"}};
    if (!maximized)
        values << qMakePair(QStringLiteral("Left"), toTwips(form->x()))
               << qMakePair(QStringLiteral("Top"), toTwips(form->y()))
               << qMakePair(QStringLiteral("Width"), toTwips(form->width()))
               << qMakePair(QStringLiteral("Height"), toTwips(form->height()));
    writeValues(FormIniPath(form->objectName() + sSuffix), kPosition, values, QStringLiteral("SaveFormIni"));
}

void SaveSpreadColWidth(QWidget* form, const SpreadGrid* grid, int col, const QString& sSuffix, int index)
{
    if (!form || !grid || !grid->isVisible())
        return;
    writeValues(FormIniPath(form->objectName() + sSuffix), SpreadIniKey(grid, index) + "_ColsWidth",
                {{QString::number(col), DecimalText(grid->ColWidth(col))}},
                QStringLiteral("SaveSpreadColWidth"));
}

void SaveSpreadIni_Gn(QWidget* form, const SpreadGrid* grid, const QString& key, const QString& value,
                      const QString& sSuffix)
{
    if (!form || !grid)
        return;
    writeValues(FormIniPath(form->objectName() + sSuffix), SpreadIniKey(grid, grid->Index()) + "_General",
                {{key, value}}, QStringLiteral("SaveSpreadIni_Gn"));
}

void DelFormIni(const QString& sName)
{
    const QString path = FormIniPath(sName);
    if (QFile::exists(path) && !QFile::remove(path))
        reportFileError(QStringLiteral("DelFormIni"));
}

void LoadSpreadIni(SpreadGrid* grid, const QString& path, int index)
{
    if (!grid)
        return;
    const QString key = SpreadIniKey(grid, index);
    const QString widths = key + "_ColsWidth";
    for (int col = 1; col <= grid->MaxCols(); ++col)
        if (const auto width = ParseNumber(readValue(path, widths, QString::number(col))))
            grid->SetColWidth(col, *width);
    const QString general = key + "_General";
    if (const double size = LeadingNumber(readValue(path, general, QStringLiteral("FontSize"))); size > 0) {
        grid->SetFontSize(-1, -1, size);
        grid->SetFontSize(-1, 0, size);
    }
    if (const double height = LeadingNumber(readValue(path, general, QStringLiteral("RowHeight")));
        height > 0) {
        grid->SetRowHeight(-1, height);
        grid->SetRowHeight(0, height + 2);
    }
}
