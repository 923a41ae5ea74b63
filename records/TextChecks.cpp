#include "records/TextChecks.h"

#include "common/Cp949.h"
#include "common/MsgBox.h"
#include "db/Query.h"

#include <QStringList>

bool TextStorable(const QString& text, const QString& what)
{
    const QString chars = UnstorableChars(text);
    if (chars.isEmpty())
        return true;
    QStringList shown;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const qsizetype n = chars.at(i).isHighSurrogate() && i + 1 < chars.size() ? 2 : 1;
        shown << (chars.at(i).isNull() ? QStringLiteral("NUL") : chars.mid(i, n));
        i += n - 1;
    }
    MsgInfo(what + QStringLiteral(" 수 없는 문자가 있습니다: ") + shown.join(QLatin1Char(' ')) +
            QStringLiteral("\r\n해당 문자를 지우고 다시 입력해 주세요."));
    return false;
}

bool TextFits(const QString& text, const QString& subject, int maxBytes)
{
    const int length = cp949::byteLength(text);
    if (length <= maxBytes)
        return true;
    MsgInfo(subject + QStringLiteral(" 너무 깁니다. 최대 %1자까지 허용됩니다. 현재길이:%2\r\n"
                                     "(한글은 한 글자당 길이가 2입니다.)")
                          .arg(maxBytes)
                          .arg(length));
    return false;
}
