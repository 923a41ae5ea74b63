#pragma once

#include <QString>
#include <QStringList>
#include <random>

// Texts of generated requests: sentences from a vocabulary of a few thousand Korean
// words (stems, and compounds of stems and endings such as 급여계산, 거래처조회) and
// some ASCII terms, the words drawn with Zipf-like weights (a few common, most rare),
// so that text searches meet the mix of common and rare words that real requests have.
class DemoTexts
{
public:
    explicit DemoTexts(unsigned seed);

    int vocabularySize() const { return int(m_words.size()); }
    // The word of a rank (0 the most common).
    QString word(int rank) const { return m_words.value(rank); }

    // A request or solution text of 30 to 800 characters, about 200 on average; a
    // request often names an error code E + five digits.
    QString requestText();
    QString solutionText();
    // A title of a few words.
    QString title(const QString& screen);
    // A screen name: a word and a screen code of two letters and five digits.
    QString screenName();
    // A company name: a name, a kind of company and often a branch number.
    QString companyName();

private:
    QString zipfWord();
    QString sentence(const QStringList& endings);
    QString text(const QStringList& endings, bool errorCode);
    int below(int n) { return int(m_rng() % unsigned(n)); }

    std::mt19937 m_rng;
    QStringList m_words;
    std::vector<double> m_cumulative;
};
