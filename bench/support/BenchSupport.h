#pragma once

// What the benchmarks that compare the program with the mariadb command-line
// client share: the server settings from scripts/bench.sh, the client's command
// line, and a reporter that prints the ratio of two benchmarks' times.
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/BuiltinAccount.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

inline QString BenchEnv(const char* name)
{
    return qEnvironmentVariable(name);
}

// Answers every message at once and tells each different one once on the error
// output, so that a failed statement does not pass for a quick one.
inline void AnswerMessagesTellingEachOnce()
{
    InstallMsgReporter();
    SetMsgResponder([](const MsgPrompt& prompt) {
        static QSet<QString> told;
        if (!told.contains(prompt.text)) {
            told.insert(prompt.text);
            std::fprintf(stderr, "message: %s\n", qPrintable(prompt.text));
        }
        return MsgAnswer{};
    });
}

// The site configuration that points at the benchmark server.
inline SiteConfig BenchSite()
{
    SiteConfig site;
    site.dbHost = BenchEnv("AS_BENCH_HOST");
    site.dbPort = BenchEnv("AS_BENCH_PORT").toInt();
    return site;
}

// Runs `input` ("-e \"statement\"" or "< 'file'") on the benchmark database and
// throws the output away.
inline QByteArray MariadbClientCommand(const QString& input)
{
    return QStringLiteral("mariadb --no-defaults --batch --default-character-set=euckr -h%1 -P%2 "
                          "-u%3 -p%4 %5 %6 > /dev/null")
        .arg(BenchEnv("AS_BENCH_HOST"), BenchEnv("AS_BENCH_PORT"), QLatin1String(kDbUser),
             QLatin1String(kDbPassword), BenchEnv("AS_BENCH_DB"), input)
        .toLocal8Bit();
}

// Prints the usual table, then for each pair both times in milliseconds and the
// program's time over the client's, with the targets.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    struct Ratio
    {
        std::string label;
        std::string ours; // full benchmark run names
        std::string client;
        double target;      // 0: none
        double limitMs = 0; // 0: none
    };
    explicit RatioReporter(std::vector<Ratio> ratios) : m_ratios(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const Ratio& r : m_ratios) {
            const auto ours = m_times.find(r.ours);
            const auto client = m_times.find(r.client);
            if (ours == m_times.end())
                continue;
            std::printf("%s: %.1f ms", r.label.c_str(), ours->second);
            if (client != m_times.end())
                std::printf(" / %.1f ms = %.3g", client->second, ours->second / client->second);
            if (r.target > 0)
                std::printf(" (target at most %.2f)", r.target);
            if (r.limitMs > 0)
                std::printf(" (target under %.0f ms)", r.limitMs);
            std::printf("\n");
        }
    }

private:
    std::vector<Ratio> m_ratios;
    std::map<std::string, double> m_times;
};
