#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// A forward-only reader of an XML document held in memory, for the large parts of a
// workbook (its sheets and shared strings), where QXmlStreamReader spends most of the
// time turning every character into UTF-16. Names and attribute values are views of the
// document; texts are decoded only when asked for. It checks what it reads (tags that
// match, attributes, references, the encoding of the texts it decodes) and reads
// documents in UTF-8, or in another encoding their byte-order mark or declaration names,
// but takes no document type definition.
class XmlScanner
{
public:
    enum Token
    {
        StartElement,
        EndElement,
        EndDocument,
        Invalid // see errorString()
    };

    explicit XmlScanner(const QByteArray& document);

    // The next start or end of an element; texts, comments and processing instructions
    // between them are passed over. An empty element gives its start, then its end.
    Token next();

    // The local name (without prefix) of the element just started or ended.
    QByteArrayView name() const { return m_name; }
    // The value of an attribute of the element just started, by its qualified name,
    // with its references replaced; empty when it has none.
    QByteArrayView attribute(QByteArrayView qualifiedName) const;
    // The text of the element just started, up to its end, which is then passed:
    // character data, references replaced and CDATA sections included. With
    // `includeChildren` the texts of the elements inside count too; without, an
    // element inside is an error. In UTF-8; valid until the next call.
    QByteArrayView readElementText(bool includeChildren);
    // UTF-8 text as a string; an error when it is not valid UTF-8.
    QString decode(QByteArrayView utf8);

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }

private:
    struct Attribute
    {
        QByteArrayView name;
        QByteArrayView value;
        QByteArray replaced; // the value, when it needed replacing
    };

    bool fail(const QString& message);
    bool prepare(const QByteArray& document);
    bool startTag();
    bool endTag();
    bool skipMarkup();
    bool unescape(QByteArrayView raw, QByteArray& out, bool attributeValue);
    QByteArrayView qualifiedName();
    void skipSpace();

    QByteArray m_document; // in UTF-8
    const char* m_at = nullptr;
    const char* m_end = nullptr;
    std::vector<QByteArrayView> m_open; // qualified names of the open elements
    std::vector<Attribute> m_attributes;
    QByteArrayView m_name;
    bool m_emptyElement = false; // the element just started ends at once
    bool m_rootSeen = false;
    QByteArray m_text;
    QString m_error;
};
