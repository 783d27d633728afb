// Times 200 certificates as one PDF, as "PDF speichern..." of the certificate dialog makes
// them: the competitors of a random competition, each shipped design, every page filled,
// fitted and drawn, the file written atomically. Prints the wall time of each design.
// Usage: certificates [count] [folder for the PDFs to look at]
#include "competition/CertificateRecipients.h"
#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "output/AtomicFile.h"
#include "print/CertificateDocument.h"
#include "print/CertificateTemplate.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QTemporaryDir scratch;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.path();

    Competition competition(TimeFormat(1, u','));
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(competition, rng, count);
    StageDerivation(competition).deriveAll();
    CertificateChoice choice;
    choice.title = QStringLiteral("Deutsche Meisterschaften im Velmora 2009");
    choice.date = QStringLiteral("12.07.2025");
    const auto certificates = CertificateRecipients::collect(competition, choice);

    // The designs lie next to the program in the build folder, one level above the benchmarks.
    const QDir designs(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    for (const QString& name :
         {QStringLiteral("Urkunde-Teilnahme"), QStringLiteral("Urkunde-Podest")}) {
        const auto design =
            CertificateTemplate::fromFile(designs.filePath(name + QStringLiteral(".svg")));
        if (!design.isValid()) {
            std::fprintf(stderr, "%s\n", qPrintable(design.error()));
            return 1;
        }
        const QString target = QDir(folder).filePath(name + QStringLiteral(".pdf"));
        QElapsedTimer timer;
        timer.start();
        const auto bytes =
            CertificateDocument::pdf(design, certificates, QStringLiteral("Urkunden"));
        const bool written = bytes && !AtomicFile::write(target, *bytes);
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        std::printf("%-20s %lld certificates, %6.2f s (%.1f ms each), %lld bytes%s\n",
                    qPrintable(name), static_cast<long long>(certificates.size()), seconds,
                    seconds * 1000 / static_cast<double>(qMax<qsizetype>(1, certificates.size())),
                    static_cast<long long>(bytes ? bytes->size() : 0),
                    written ? "" : "  (NOT WRITTEN)");
    }
    return 0;
}
