#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The screenshots of the record shown in the detail pane: slots 0-4 (the question)
// form group 1 and slots 5-9 (the answer) group 2. One stepping position serves both
// groups, so stepping in one group moves where the other group's buttons start from.
class ShotGroups
{
public:
    // What a stepping button asks the pane to show.
    struct Step
    {
        int group;       // 0 or 1: which image box and counter
        int slot;        // 0-9
        QString counter; // "position / count"
    };

    // No record: every slot empty, position 0.
    void clear();
    // The ten stored paths of a record (slots sshot1 .. sshot10); position 0.
    void load(const std::array<QString, 10>& paths);

    const QString& path(int slot) const;
    int16_t index() const { return m_index; }
    int16_t count(int group) const { return group == 0 ? m_count1 : m_count2; }

    // The counter of a freshly shown group: "0 / 0" or "1 / count".
    QString firstCounter(int group) const;

    // btnVecter(0..3): back and forward in group 1, back and forward in group 2.
    // Empty when the button does nothing.
    std::optional<Step> step(int button);

    // The slot btnZoom(0) / btnZoom(1) opens.
    int zoomSlot(int group) const { return m_index + (group == 0 ? 0 : 5); }

    // The counter text of a cleared pane.
    static QString clearedCounter() { return QStringLiteral("0/0"); }

private:
    std::array<QString, 11> m_shot; // entry 10 is never filled
    int16_t m_index = 0;
    int16_t m_count1 = 0;
    int16_t m_count2 = 0;
};
