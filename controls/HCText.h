#pragma once

#include <QString>
#include <QWidget>
#include <array>

class QLineEdit;

// The properties a window gives a formatted text box, with the defaults of a newly
// placed one. Colours are stored values (see common/OleColor.h).
struct HCTextProperties
{
    quint32 ForeColor = 0x80000008;
    QString Text;
    int ConvertCase = 0;
    int AcceptType = 0;
    bool ShowSeparate = false;
    int MaxLength = 0;
    bool Locked = false;
    quint32 BackColor = 0xFFFFFF;
    int IMEMode = 0;
    int DecPlace = 0;
    QString PasswordChar;
    bool AutoTab = true;
    int Appearance = 1;
    bool FocusEffect = false;
    quint32 FocusEffectParam = 0xC0E0FF;
    int BorderStyle = 1;
    int TopMagin = 0;
    int EdgeWidth = 1;
    quint32 EdgeColor = 0xFFFFFF;
    bool EdgeFocus = false;
    quint32 EdgeFocusColor = 0xFFFFFF;
};

// The program's single-line input field: an inner box `txtBox` and four edge lines
// (`LineEdge0` .. `LineEdge3`), with a key filter per accept type, live thousands
// separators and fixed decimals for numbers, case conversion, a length limit in
// CP949 bytes, telephone and time normalisation when left, Enter and arrow keys that
// move the focus, a focus colour and border, and the memory of the input mode.
// `Enabled` and `Font` are the widget's own (setEnabled, setFont).
class HCText : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int ConvertCase READ ConvertCase WRITE setConvertCase)
    Q_PROPERTY(int AcceptType READ AcceptType WRITE setAcceptType)
    Q_PROPERTY(bool ShowSeparate READ ShowSeparate WRITE setShowSeparate)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool bChanged READ bChanged)
    Q_PROPERTY(int IMEMode READ IMEMode WRITE setIMEMode)
    Q_PROPERTY(int DecPlace READ DecPlace WRITE setDecPlace)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE setPasswordChar)
    Q_PROPERTY(bool AutoTab READ AutoTab WRITE setAutoTab)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(bool FocusEffect READ FocusEffect WRITE setFocusEffect)
    Q_PROPERTY(quint32 FocusEffectParam READ FocusEffectParam WRITE setFocusEffectParam)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int TopMagin READ TopMagin WRITE setTopMagin)
    Q_PROPERTY(int EdgeWidth READ EdgeWidth WRITE setEdgeWidth)
    Q_PROPERTY(quint32 EdgeColor READ EdgeColor WRITE setEdgeColor)
    Q_PROPERTY(bool EdgeFocus READ EdgeFocus WRITE setEdgeFocus)
    Q_PROPERTY(quint32 EdgeFocusColor READ EdgeFocusColor WRITE setEdgeFocusColor)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart)

public:
    enum AcceptTypes
    {
        AnyText = 0,
        Number = 1,
        Letters = 2,
        TelNo = 3,
        Time = 4,
        DashedTen = 5
    };

    explicit HCText(QWidget* parent = nullptr);

    // Applies a window's saved properties in their stored order (the defaults when
    // the control is created).
    void ReadProperties(const HCTextProperties& p);

    // A number field with separators reads without them ("1,234.50" reads "1234.50").
    QString Text() const;
    void setText(const QString& text);

    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);
    int ConvertCase() const { return m_convertCase; }
    void setConvertCase(int value) { m_convertCase = value; }
    int AcceptType() const { return m_acceptType; }
    void setAcceptType(int value);
    bool ShowSeparate() const { return m_showSeparate; }
    void setShowSeparate(bool value);
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int value);
    bool Locked() const;
    void setLocked(bool value);
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 color);
    bool bChanged() const { return m_bChanged; }
    int IMEMode() const { return m_imeMode; }
    void setIMEMode(int value) { m_imeMode = value; }
    int DecPlace() const { return m_decPlace; }
    void setDecPlace(int value);
    QString PasswordChar() const { return m_passwordChar; }
    void setPasswordChar(const QString& value);
    bool AutoTab() const { return m_autoTab; }
    void setAutoTab(bool value) { m_autoTab = value; }
    int Appearance() const { return m_appearance; }
    void setAppearance(int value);
    bool FocusEffect() const { return m_focusEffect; }
    void setFocusEffect(bool value) { m_focusEffect = value; }
    quint32 FocusEffectParam() const { return m_focusEffectParam; }
    void setFocusEffectParam(quint32 color) { m_focusEffectParam = color; }
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int value);
    int TopMagin() const { return m_topMagin; }
    void setTopMagin(int twips);
    int EdgeWidth() const { return m_edgeWidth; }
    void setEdgeWidth(int pixels);
    quint32 EdgeColor() const { return m_edgeColor; }
    void setEdgeColor(quint32 color);
    bool EdgeFocus() const { return m_edgeFocus; }
    void setEdgeFocus(bool value) { m_edgeFocus = value; }
    quint32 EdgeFocusColor() const { return m_edgeFocusColor; }
    void setEdgeFocusColor(quint32 color) { m_edgeFocusColor = color; }

    // The caret position in the inner box (the selection's start when text is selected).
    int SelStart() const;
    void setSelStart(int position);
    // The inner box, for the input-mode functions and for placing the caret.
    QLineEdit* hwnd() const { return m_box; }
    // Whether the input mode is remembered and restored (decided at creation).
    bool ImeRestore() const { return m_imeRestore; }

    // "HH:MM" from a typed time, or "" after telling the user it is none.
    QString FormatTime(const QString& sTime) const;

    // As tall as a line of text needs with the font (one field line, never taller).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Raised before the key is filtered; a handler may change or drop it (0).
    void KeyPress(int& KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void KeyDown(int KeyCode, int Shift);
    void Change();
    void Click();
    void DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool keyPressed(QKeyEvent* event);
    int filterKey(int keyAscii);
    void keyReleased(QKeyEvent* event);
    bool inputMethod(class QInputMethodEvent* event);
    void gotFocus();
    void lostFocus();
    void textChanged();
    void moveFocus(bool backward);
    void cutToMaxLength();
    void setBoxText(const QString& text);
    void paintBox(quint32 color);
    void paintSurface(quint32 color);
    void setLines(int width, quint32 color);
    void updateLineVisibility();
    void layoutEdges();

    QLineEdit* m_box = nullptr;
    std::array<QWidget*, 4> m_lines{};
    int m_lineWidth = 1; // current width of the lines: EdgeWidth, or EdgeWidth + 1 while focused

    // Set from HCTextProperties, whose defaults are a new box's, by the constructor.
    quint32 m_foreColor{};
    quint32 m_backColor{};
    int m_convertCase{};
    int m_acceptType{};
    bool m_showSeparate{};
    int m_maxLength{};
    int m_imeMode{};
    int m_decPlace{};
    QString m_passwordChar;
    bool m_autoTab{};
    int m_appearance{};
    bool m_focusEffect{};
    quint32 m_focusEffectParam{};
    int m_borderStyle{};
    int m_topMagin{};
    int m_edgeWidth{};
    quint32 m_edgeColor{};
    bool m_edgeFocus{};
    quint32 m_edgeFocusColor{};

    bool m_bChanged = false;
    bool m_rewriting = false;   // the control itself rewrites the text
    bool m_passThrough = false; // events the control sends itself reach the inner box untouched
    bool m_imeRestore = false;
    bool m_savedImeMode = false;
    bool m_firstFocus = false;
};
