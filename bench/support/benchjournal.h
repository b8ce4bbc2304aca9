#pragma once

#include <QString>
#include <QTemporaryDir>

namespace movilibro::bench {

// A journal made from the template and filled with `entries` entries through
// 2010 in date order, as a journal is kept, on twelve accounts; a few
// descriptions carry accents and quotes.
class BenchJournal
{
public:
    explicit BenchJournal(int entries);

    // One journal per size for the whole run: filling a large one takes seconds.
    static BenchJournal& shared(int entries);

    QString connString() const;
    QString folder() const { return m_dir.path(); }
    QString path() const;

private:
    QTemporaryDir m_dir;
};

// The template next to the benchmark programs.
QString templatePath();

// Runs the registered benchmarks inside a Qt application (offscreen unless a
// platform is set) with the Italian locale.
int runBenchmarks(int argc, char** argv);

} // namespace movilibro::bench
