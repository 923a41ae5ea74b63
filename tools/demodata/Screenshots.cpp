#include "Screenshots.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>

const QList<DemoShot>& DemoShots()
{
    static const QList<DemoShot> shots = {
        {0, QStringLiteral("사원등록"), 0}, {0, QStringLiteral("사원등록"), 1},
        {0, QStringLiteral("사원등록"), 5}, {1, QStringLiteral("급여계산"), 0},
        {3, QStringLiteral("전표입력"), 0}, {3, QStringLiteral("전표입력"), 5},
    };
    return shots;
}

QStringList WriteDemoScreenshots(const QString& folder, int records)
{
    QDir().mkpath(folder);
    QStringList names;
    int n = 0;
    for (const DemoShot& shot : DemoShots()) {
        QImage image(1024, 640, QImage::Format_RGB32);
        image.fill(QColor(236, 240, 245));
        QPainter p(&image);
        const QColor accent = QColor::fromHsv((n * 57) % 360, 140, 200);
        p.fillRect(0, 0, 1024, 36, accent);
        p.setPen(Qt::white);
        p.setFont(QFont(QStringLiteral("NanumGothic"), 14, QFont::Bold));
        p.drawText(12, 25, QStringLiteral("타벤 프로그램 - %1").arg(shot.formName));
        p.setPen(QColor(60, 60, 60));
        p.setFont(QFont(QStringLiteral("NanumGothic"), 12));
        for (int row = 0; row < 12; ++row) {
            p.drawRect(30, 70 + row * 40, 960, 32);
            p.drawText(42, 92 + row * 40,
                       QStringLiteral("항목 %1   값 %2").arg(row + 1).arg((row + 3) * (n + 7) * 1000));
        }
        p.setPen(QPen(Qt::red, 4));
        p.drawEllipse(600, 150 + n * 30, 300, 90);
        p.end();
        const QString name =
            QStringLiteral("%1_%2_%3.jpg").arg(records - shot.newest).arg(shot.formName).arg(shot.slot);
        image.save(folder + QLatin1Char('/') + name, "JPEG", 90);
        names << name;
        ++n;
    }
    return names;
}
