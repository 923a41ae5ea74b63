#pragma once

#include <QString>
#include <QStringList>

// Draws a few desktop-like JPEG pictures into `folder`, named as the program names
// stored screenshots, and returns their file names.
QStringList WriteDemoScreenshots(const QString& folder, int records);

// Which record (0 = the newest), screen name and slot each picture belongs to.
struct DemoShot
{
    int newest;
    QString formName;
    int slot;
};
const QList<DemoShot>& DemoShots();
