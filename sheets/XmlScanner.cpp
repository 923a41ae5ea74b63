#include "sheets/XmlScanner.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// What may stand in a document as a character.
bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The character a reference between "&" and ";" stands for; 0 for none.
char32_t referenced(QByteArrayView name)
{
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "amp")
        return '&';
    if (name == "apos")
        return '\'';
    if (name == "quot")
        return '"';
    if (name.size() < 2 || name[0] != '#')
        return 0;
    const bool hex = name[1] == 'x';
    const QByteArrayView digits = name.sliced(hex ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 8)
        return 0;
    char32_t code = 0;
    for (const char c : digits) {
        const int digit = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
        if (digit < 0)
            return 0;
        code = code * (hex ? 16 : 10) + char32_t(digit);
    }
    return isXmlChar(code) ? code : 0;
}

const char* find(const char* from, const char* end, char c)
{
    const void* at = std::memchr(from, c, size_t(end - from));
    return at ? static_cast<const char*>(at) : end;
}

const char* find(const char* from, const char* end, QByteArrayView what)
{
    const QByteArrayView rest(from, end - from);
    const qsizetype at = rest.indexOf(what);
    return at < 0 ? end : from + at;
}

} // namespace

XmlScanner::XmlScanner(const QByteArray& document)
{
    if (prepare(document)) {
        m_at = m_document.constData();
        m_end = m_at + m_document.size();
    }
}

bool XmlScanner::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    m_at = m_end;
    return false;
}

bool XmlScanner::prepare(const QByteArray& document)
{
    // UTF-16 by its byte-order mark, else the encoding the declaration names, else UTF-8.
    QByteArray encoding;
    if (document.startsWith("\xFF\xFE")) {
        encoding = "UTF-16LE";
    } else if (document.startsWith("\xFE\xFF")) {
        encoding = "UTF-16BE";
    } else if (document.startsWith("<?xml")) {
        const QByteArrayView head(document.constData(), std::max<qsizetype>(document.indexOf("?>"), 0));
        const qsizetype at = head.indexOf("encoding");
        if (at >= 0) {
            const qsizetype open = head.indexOf('=', at);
            qsizetype from = open + 1;
            while (from < head.size() && isSpace(head[from]))
                ++from;
            if (open >= 0 && from < head.size() && (head[from] == '"' || head[from] == '\'')) {
                const qsizetype close = head.indexOf(head[from], from + 1);
                if (close > from)
                    encoding = head.sliced(from + 1, close - from - 1).toByteArray().toUpper();
            }
        }
    }
    if (encoding.isEmpty() || encoding == "UTF-8" || encoding == "UTF8") {
        m_document = document.startsWith("\xEF\xBB\xBF") ? document.sliced(3) : document;
        return true;
    }
    QStringDecoder decoder(encoding.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return fail(QStringLiteral("Encoding %1 is unsupported").arg(QString::fromLatin1(encoding)));
    QString text = decoder.decode(document);
    if (decoder.hasError())
        return fail(QStringLiteral("Encountered incorrectly encoded content."));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    m_document = text.toUtf8();
    return true;
}

void XmlScanner::skipSpace()
{
    while (m_at < m_end && isSpace(*m_at))
        ++m_at;
}

QByteArrayView XmlScanner::qualifiedName()
{
    const char* start = m_at;
    while (m_at < m_end && !isSpace(*m_at) && *m_at != '>' && *m_at != '/' && *m_at != '=' && *m_at != '<' &&
           *m_at != '"' && *m_at != '\'')
        ++m_at;
    return QByteArrayView(start, m_at - start);
}

bool XmlScanner::unescape(QByteArrayView raw, QByteArray& out, bool attributeValue)
{
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '&') {
            const qsizetype semicolon = raw.indexOf(';', i + 1);
            const char32_t to = semicolon < 0 ? 0 : referenced(raw.sliced(i + 1, semicolon - i - 1));
            if (!to)
                return fail(
                    QStringLiteral("Invalid entity reference: %1")
                        .arg(QString::fromUtf8(raw.sliced(i, semicolon < 0 ? 1 : semicolon - i + 1))));
            appendUtf8(out, to);
            i = semicolon;
        } else if (c == '\r') {
            // Line ends read as one line feed; in an attribute value, white space as a space.
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
            out += attributeValue ? ' ' : '\n';
        } else if (attributeValue && (c == '\n' || c == '\t')) {
            out += ' ';
        } else if (attributeValue && c == '<') {
            return fail(QStringLiteral("'<' in an attribute value"));
        } else {
            out += c;
        }
    }
    return true;
}

bool XmlScanner::startTag()
{
    // After "<".
    const QByteArrayView qualified = qualifiedName();
    if (qualified.isEmpty())
        return fail(QStringLiteral("Expected an element name"));
    const qsizetype colon = qualified.lastIndexOf(':');
    m_name = colon < 0 ? qualified : qualified.sliced(colon + 1);
    m_attributes.clear();
    for (;;) {
        const char* before = m_at;
        skipSpace();
        if (m_at >= m_end)
            return fail(QStringLiteral("Premature end of document."));
        if (*m_at == '>' || (*m_at == '/' && m_at + 1 < m_end && m_at[1] == '>')) {
            m_emptyElement = *m_at == '/';
            m_at += m_emptyElement ? 2 : 1;
            break;
        }
        if (m_at == before)
            return fail(QStringLiteral("Expected white space before an attribute"));
        Attribute a;
        a.name = qualifiedName();
        skipSpace();
        if (a.name.isEmpty() || m_at >= m_end || *m_at != '=')
            return fail(QStringLiteral("Expected '=' after an attribute name"));
        ++m_at;
        skipSpace();
        if (m_at >= m_end || (*m_at != '"' && *m_at != '\''))
            return fail(QStringLiteral("Expected a quoted attribute value"));
        const char* close = find(m_at + 1, m_end, *m_at);
        if (close >= m_end)
            return fail(QStringLiteral("Premature end of document."));
        a.value = QByteArrayView(m_at + 1, close - m_at - 1);
        m_at = close + 1;
        for (const Attribute& other : m_attributes)
            if (other.name == a.name)
                return fail(QStringLiteral("Attribute %1 redefined.").arg(QString::fromUtf8(a.name)));
        for (const char c : a.value)
            if (c == '&' || c == '<' || c == '\r' || c == '\n' || c == '\t') {
                if (!unescape(a.value, a.replaced, true))
                    return false;
                break;
            }
        m_attributes.push_back(std::move(a));
        if (!m_attributes.back().replaced.isNull())
            m_attributes.back().value = m_attributes.back().replaced;
    }
    if (m_open.empty() && m_rootSeen)
        return fail(QStringLiteral("Extra content at end of document."));
    m_rootSeen = true;
    m_open.push_back(qualified);
    return true;
}

bool XmlScanner::endTag()
{
    // After "</".
    const QByteArrayView qualified = qualifiedName();
    skipSpace();
    if (m_at >= m_end || *m_at != '>')
        return fail(QStringLiteral("Expected '>' after an end tag"));
    ++m_at;
    if (m_open.empty() || m_open.back() != qualified)
        return fail(QStringLiteral("Opening and ending tag mismatch."));
    m_open.pop_back();
    const qsizetype colon = qualified.lastIndexOf(':');
    m_name = colon < 0 ? qualified : qualified.sliced(colon + 1);
    return true;
}

bool XmlScanner::skipMarkup()
{
    // At "<!" or "<?" outside character data: comments, processing instructions and the
    // declaration; a document type is refused.
    const QByteArrayView rest(m_at, m_end - m_at);
    QByteArrayView close;
    if (rest.startsWith("<!--"))
        close = "-->";
    else if (rest.startsWith("<?"))
        close = "?>";
    else
        return fail(QStringLiteral("Unsupported markup: %1")
                        .arg(QString::fromUtf8(rest.first(std::min<qsizetype>(rest.size(), 9)))));
    const char* at = find(m_at + 2, m_end, close);
    if (at >= m_end)
        return fail(QStringLiteral("Premature end of document."));
    m_at = at + close.size();
    return true;
}

XmlScanner::Token XmlScanner::next()
{
    if (m_emptyElement) {
        m_emptyElement = false;
        m_open.pop_back();
        return EndElement;
    }
    while (m_at < m_end) {
        const char* open = find(m_at, m_end, '<');
        if (m_open.empty())
            for (const char* p = m_at; p < open; ++p)
                if (!isSpace(*p)) {
                    fail(m_rootSeen ? QStringLiteral("Extra content at end of document.")
                                    : QStringLiteral("Start tag expected."));
                    return Invalid;
                }
        m_at = open;
        if (m_at >= m_end)
            break;
        const char next = m_at + 1 < m_end ? m_at[1] : '\0';
        if (next == '/') {
            m_at += 2;
            return endTag() ? EndElement : Invalid;
        }
        if (next == '!' && QByteArrayView(m_at, m_end - m_at).startsWith("<![CDATA[")) {
            const char* close = find(m_at, m_end, QByteArrayView("]]>"));
            if (m_open.empty() || close >= m_end) {
                fail(m_open.empty() ? QStringLiteral("Start tag expected.")
                                    : QStringLiteral("Premature end of document."));
                return Invalid;
            }
            m_at = close + 3;
            continue;
        }
        if (next == '!' || next == '?') {
            if (!skipMarkup())
                return Invalid;
            continue;
        }
        ++m_at;
        return startTag() ? StartElement : Invalid;
    }
    if (hasError())
        return Invalid;
    if (!m_open.empty() || !m_rootSeen) {
        fail(QStringLiteral("Premature end of document."));
        return Invalid;
    }
    return EndDocument;
}

QByteArrayView XmlScanner::attribute(QByteArrayView qualifiedName) const
{
    for (const Attribute& a : m_attributes)
        if (a.name == qualifiedName)
            return a.value;
    return {};
}

QByteArrayView XmlScanner::readElementText(bool includeChildren)
{
    m_text.clear();
    if (m_emptyElement) {
        m_emptyElement = false;
        m_open.pop_back();
        return m_text;
    }
    // A text of one run of plain characters is handed out where it stands; any other is
    // put together in m_text.
    QByteArrayView single;
    bool first = true;
    const size_t depth = m_open.size();
    const auto add = [&](QByteArrayView run, bool cdata) {
        const bool plain = !run.contains('\r') && (cdata || !run.contains('&'));
        if (std::exchange(first, false) && plain) {
            single = run;
            return;
        }
        if (!single.isNull())
            m_text = std::exchange(single, {}).toByteArray();
        if (plain) {
            m_text += run;
        } else if (cdata) {
            QByteArray lines = run.toByteArray();
            m_text += lines.replace("\r\n", "\n").replace('\r', '\n');
        } else {
            unescape(run, m_text, false);
        }
    };
    while (m_at < m_end) {
        const char* open = find(m_at, m_end, '<');
        if (open > m_at)
            add(QByteArrayView(m_at, open - m_at), false);
        m_at = open;
        if (m_at >= m_end)
            break;
        const QByteArrayView rest(m_at, m_end - m_at);
        if (rest.startsWith("<![CDATA[")) {
            const char* close = find(m_at, m_end, QByteArrayView("]]>"));
            if (close >= m_end)
                break;
            add(QByteArrayView(m_at + 9, close - m_at - 9), true);
            m_at = close + 3;
        } else if (rest.startsWith("</")) {
            m_at += 2;
            if (!endTag())
                return {};
            if (m_open.size() < depth)
                return single.isNull() ? QByteArrayView(m_text) : single;
        } else if (rest.startsWith("<!") || rest.startsWith("<?")) {
            if (!skipMarkup())
                return {};
        } else if (!includeChildren) {
            fail(QStringLiteral("Expected character data."));
            return {};
        } else {
            ++m_at;
            if (!startTag())
                return {};
            if (m_emptyElement) {
                m_emptyElement = false;
                m_open.pop_back();
            }
        }
        if (hasError())
            return {};
    }
    fail(QStringLiteral("Premature end of document."));
    return {};
}

QString XmlScanner::decode(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(utf8);
    if (decoder.hasError())
        fail(QStringLiteral("Encountered incorrectly encoded content."));
    return text;
}
