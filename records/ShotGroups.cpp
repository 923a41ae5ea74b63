#include "records/ShotGroups.h"

namespace {
QString counterText(int position, int count)
{
    return QString::number(position) + QStringLiteral(" / ") + QString::number(count);
}
} // namespace

void ShotGroups::clear()
{
    m_shot.fill(QString());
    m_index = 0;
    m_count1 = 0;
    m_count2 = 0;
}

void ShotGroups::load(const std::array<QString, 10>& paths)
{
    clear();
    for (int i = 0; i < 10; ++i) {
        m_shot[i] = paths[i];
        if (!paths[i].isEmpty())
            ++(i < 5 ? m_count1 : m_count2);
    }
}

const QString& ShotGroups::path(int slot) const
{
    static const QString none;
    return slot >= 0 && slot < int(m_shot.size()) ? m_shot[slot] : none;
}

QString ShotGroups::firstCounter(int group) const
{
    const int n = count(group);
    return n < 1 ? counterText(0, 0) : counterText(1, n);
}

std::optional<ShotGroups::Step> ShotGroups::step(int button)
{
    if (button < 0 || button > 3)
        return std::nullopt;
    const int group = button / 2;
    const bool forward = button % 2 == 1;
    const int n = count(group);
    if (forward) {
        if (n == 0 || m_index >= n - 1)
            return std::nullopt;
        ++m_index;
    } else {
        if (m_index == 0)
            return std::nullopt;
        --m_index;
    }
    return Step{group, m_index + group * 5, counterText(m_index + 1, n)};
}
