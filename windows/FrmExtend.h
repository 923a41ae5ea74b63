#pragma once

#include <QDialog>
#include <optional>

class QPlainTextEdit;
class QPushButton;

// The enlarged text window: the editor's request text or solution, or the main window's,
// read and edited at a comfortable size.
//
// The opener loads the text, sets gExtendMode ("0" the editor's request text, "1" its
// solution, "2" / "3" the main window's, which gets nothing back) and shows the window
// modally; after it closes, writeBack() holds the text for the field it came from:
//
//     gExtendMode = QStringLiteral("0");
//     if (const auto text = FrmExtend::edit(this, txtField->toPlainText(), !txtField->isEnabled()))
//         txtField->setPlainText(*text);
class FrmExtend : public QDialog
{
    Q_OBJECT

public:
    explicit FrmExtend(QWidget* parent = nullptr);

    // Puts the text in; a read-only text can be read but neither typed into nor cleared.
    void loadText(const QString& text, bool readOnly = false);

    // Set when OK closed the window while gExtendMode was "0" or "1"; otherwise empty.
    const std::optional<QString>& writeBack() const { return m_writeBack; }

    // Loads the text, shows the window modally and returns its writeBack().
    static std::optional<QString> edit(QWidget* parent, const QString& text, bool readOnly);

    void reject() override; // btnClose and Esc: the text is dropped

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void clearText();
    void confirm();

    QPlainTextEdit* m_text;
    std::optional<QString> m_writeBack;
};
