// How far the time of a timing key is from the moment the key was pressed, when it is pressed
// while a 10,000-row protocol is being written: Word, Excel, the PDF file of the print dialog,
// and, for comparison, a PDF drawn on the window's own thread (a window that is really busy).
// Another thread "presses" F5 at a known moment during each export: it queues the key press
// for the window with the stamp the X server would give it (CLOCK_MONOTONIC milliseconds), as
// the platform's event thread does. Reported per export: the stamp error (the run's start stamp
// minus the moment of the press) and how late the window got to the key.
// Usage: key_stamp [rows] [presses per export]   (offscreen unless QT_QPA_PLATFORM says otherwise)

#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "platform/InputEventTime.h"
#include "print/ExportProgress.h"
#include "print/GridPrinter.h"
#include "print/PrintPreviewCommand.h"
#include "print/PrintPreviewWindow.h"
#include "session/ProgramEnvironment.h"
#include "timing/MonotonicTickSource.h"
#include "timing/RunClock.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDevice>
#include <QKeyEvent>
#include <QPrinter>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

// Notes when the queued key press reaches the window.
class Arrival : public QObject {
public:
    std::atomic<qint64> at{0};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && at == 0)
            at = MonotonicTickSource::rawMicroseconds();
        return QObject::eventFilter(watched, event);
    }
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

void waitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Figures {
    std::vector<double> errorMs;
    std::vector<double> lateMs;
    std::vector<double> exportMs;
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(10, std::atoi(argv[1])) : 10000;
    const int presses = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    QTemporaryDir dir;
    const QString shippedTemplate =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../Protokollvorlage.docx");
    if (!QFile::copy(shippedTemplate, dir.filePath(QStringLiteral("Protokollvorlage.docx")))) {
        std::fprintf(stderr, "no Word template at %s\n", qPrintable(shippedTemplate));
        return 1;
    }
    ProgramEnvironment environment(dir.filePath(QStringLiteral("Velmora")));
    environment.setSettingsFolder(dir.path());
    environment.setUserDataDir(dir.filePath(QStringLiteral("user")));
    environment.setApplicationLookup([](const char*) { return true; });
    WindowSeams seams = WindowSeams::forDesktop();
    seams.answerProvider = [](const QString&) {
        return true;
    };
    QDir::setCurrent(dir.path());

    RaceSession session(environment);
    session.start();
    MainWindow window(session, seams);
    PrintPreviewWindow preview(seams.fileDialogs, &window);
    window.setPrintPreview(&preview);
    window.show();
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(window.session().competition(), rng, rows);
    window.updateActionStates();
    RunClock& clock = window.session().clock();
    clock.setAutoEntry(false);
    auto* progress = window.findChild<ExportProgress*>();
    Arrival arrival;
    app.installEventFilter(&arrival);

    // The table in the preview, its printout going to a PDF file as "In PDF-Datei drucken" does.
    PrintPreviewCommand(preview, QStringLiteral("Velmora"), &window, [](QPrinter&, int, QWidget*) {
        return true;
    }).run(*window.tableView(0), window.stagePages()->tabText(0));
    preview.printers().printer().setOutputFormat(QPrinter::PdfFormat);
    preview.printers().printer().setOutputFileName(dir.filePath(QStringLiteral("druck.pdf")));

    struct Export {
        const char* name;
        std::function<void()> start;
        std::function<bool()> finished;
    };
    const std::vector<Export> exports{
        {"Word (background)", [&] { window.actions().word->trigger(); },
         [&] {
             return !progress->isVisible();
         }},
        {"Excel (background)", [&] { window.actions().excel->trigger(); },
         [&] {
             return !progress->isVisible();
         }},
        {"PDF of the print dialog (background)", [&] { preview.print(); },
         [&] {
             return !preview.jobs().busy();
         }},
        {"PDF on the window's thread (busy window)", [&] { (void)preview.table()->pdfDocument(); },
         [] {
             return true;
         }},
    };

    // A key event names the keyboard it came from; without one Qt makes the primary keyboard
    // when the first event is built, as a child of the application, so it must be made here on
    // the window's thread and not on the thread that plays the platform.
    const QInputDevice* keyboardDevice = QInputDevice::primaryKeyboard();

    std::printf("%d rows, %d presses per export, 150 ms after the export began\n", rows, presses);
    for (const Export& e : exports) {
        Figures figures;
        for (int i = 0; i < presses; ++i) {
            arrival.at = 0;
            std::atomic<qint64> pressedAt{0};
            QWidget* target = &window;
            // The press comes from the platform's side while the window works on the export.
            std::thread keyboard([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                pressedAt = MonotonicTickSource::rawMicroseconds();
                auto* press = new QKeyEvent(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier, 0, 0, 0,
                                            QString(), false, 1, keyboardDevice);
                press->setTimestamp(
                    static_cast<quint64>(InputEventTime::monotonicMicroseconds() / 1000));
                QCoreApplication::postEvent(target, press);
            });
            QElapsedTimer took;
            took.start();
            e.start();
            waitUntil([&] { return e.finished() && arrival.at != 0; });
            figures.exportMs.push_back(static_cast<double>(took.nsecsElapsed()) / 1e6);
            keyboard.join();
            waitUntil([&] { return clock.state() == RunClock::State::Running; });
            figures.errorMs.push_back(static_cast<double>(clock.startStamp() - pressedAt) / 1000.0);
            figures.lateMs.push_back(static_cast<double>(arrival.at - pressedAt) / 1000.0);
            clock.stop();
            clock.reset();
            QCoreApplication::processEvents();
        }
        std::printf("%-42s export %7.0f ms | stamp error median %6.2f ms, max %6.2f ms | key "
                    "reached the window after median %7.2f ms, max %7.2f ms\n",
                    e.name, percentile(figures.exportMs, 0.5), percentile(figures.errorMs, 0.5),
                    percentile(figures.errorMs, 1.0), percentile(figures.lateMs, 0.5),
                    percentile(figures.lateMs, 1.0));
    }
    return 0;
}
