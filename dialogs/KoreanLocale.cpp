#include "dialogs/KoreanLocale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Qt's Korean translation still files the file dialog's "Folder", "File", "Drive" ... under
// the file dialog, where Qt 6 asks for them under its icon provider: this hands them over.
class IconProviderTexts : public QTranslator
{
public:
    explicit IconProviderTexts(const QTranslator* qt, QObject* parent) : QTranslator(parent), m_qt(qt) {}

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        const QString text = m_qt->translate("QFileDialog", source, disambiguation, n);
        return text.isEmpty() ? m_qt->translate("QFileDialog", source, nullptr, n) : text;
    }

private:
    const QTranslator* m_qt;
};

} // namespace

QLocale KoreanLocale()
{
    return QLocale(QLocale::Korean, QLocale::SouthKorea);
}

void UseKoreanLocale()
{
    QLocale::setDefault(KoreanLocale());
    auto* app = QCoreApplication::instance();
    auto* qt = new QTranslator(app);
    if (!qt->load(KoreanLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return;
    }
    QCoreApplication::installTranslator(qt);
    QCoreApplication::installTranslator(new IconProviderTexts(qt, app));
}
