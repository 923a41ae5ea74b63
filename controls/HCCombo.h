#pragma once

#include <QString>
#include <QWidget>

class QComboBox;

// The program's drop-down list: the visible list `cmbMain`, whose entries each carry
// a shown text, an item data number and a second text (a key looked up with
// FindCODE). Enter and Left/Right move between fields, the list can open by itself
// on entry, and the field can take a focus colour. Indexes count from 0; -1 is no
// entry. `Enabled` and `Font` are the widget's own (setEnabled, setFont).
class HCCombo : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool AutoTab READ AutoTab WRITE setAutoTab)
    Q_PROPERTY(bool AutoShowItem READ AutoShowItem WRITE setAutoShowItem)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(bool FocusEffect READ FocusEffect WRITE setFocusEffect)
    Q_PROPERTY(quint32 FocusEffectParam READ FocusEffectParam WRITE setFocusEffectParam)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int ListCount READ ListCount)
    Q_PROPERTY(int NewIndex READ NewIndex)
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(QString Text2 READ Text2)

public:
    explicit HCCombo(QWidget* parent = nullptr);

    // Adds an entry at `index` (-1: at the end). A numeric `item2` whose value is at
    // most 2147483647 either way also becomes the entry's item data.
    void AddItem(const QString& item, int index = -1, const QString& item2 = {});
    void Clear();
    // Sizes the opened list, in twips.
    void SetListSize(int twipWidth, int twipHeight);
    int FindItemData(qint32 nItem) const;
    // The first entry whose second text is `code`; selects it when bMoveListidx.
    int FindCODE(const QString& code, bool bMoveListidx = false);

    int ListIndex() const;
    // Selecting from code counts as a selection: Click is raised.
    void setListIndex(int index);
    int ListCount() const;
    int NewIndex() const { return m_newIndex; }
    // The shown text: the selected entry's, or the text given to setText when no entry
    // carries it.
    QString Text() const;
    // Selects the first entry showing exactly `text` (a selection: Click is raised); when
    // there is none, no entry is selected and the field shows `text` as it stands.
    void setText(const QString& text);
    QString Text2() const;
    QString List(int index) const;
    void setList(int index, const QString& text);
    QString List2(int index) const;
    void setList2(int index, const QString& text);
    // -2: the selected entry.
    qint32 ItemData(int index = -2) const;
    void setItemData(int index, qint32 value);
    QComboBox* hwnd() const;

    // The size given with SetListSize, in pixels (0: the toolkit's own).
    int listWidth() const;
    int listHeight() const;

    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int value) { m_borderStyle = value; }
    bool AutoTab() const { return m_autoTab; }
    void setAutoTab(bool value) { m_autoTab = value; }
    bool AutoShowItem() const { return m_autoShowItem; }
    void setAutoShowItem(bool value) { m_autoShowItem = value; }
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 color);
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);
    int BackStyle() const { return m_backStyle; }
    void setBackStyle(int value) { m_backStyle = value; }
    bool FocusEffect() const { return m_focusEffect; }
    void setFocusEffect(bool value) { m_focusEffect = value; }
    quint32 FocusEffectParam() const { return m_focusEffectParam; }
    void setFocusEffectParam(quint32 color) { m_focusEffectParam = color; }

signals:
    void DblClick();
    void KeyDown(int KeyCode, int Shift);
    // A handler may drop the key (0).
    void KeyPress(int& KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool keyPressed(QKeyEvent* event);
    bool listKeyPressed(QKeyEvent* event);
    void selected();
    void paint(quint32 color);

    class ComboBox;
    ComboBox* m_main = nullptr;
    QObject* m_list = nullptr; // the opened list's view
    int m_newIndex = -1;
    bool m_filling = false; // adding or clearing entries selects nothing

    int m_borderStyle = 0;
    bool m_autoTab = true;
    bool m_autoShowItem = true;
    quint32 m_backColor = 0x80000005;
    quint32 m_foreColor = 0x80000008;
    int m_backStyle = 0;
    bool m_focusEffect = false;
    quint32 m_focusEffectParam = 0xC0E0FF;
    bool m_passThrough = false;
};
