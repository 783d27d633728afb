#include "print/PrintPreviewWindow.h"

#include "competition/CompetitionTable.h"
#include "print/ExportProgress.h"
#include "print/GridPrinter.h"
#include "print/PdfExport.h"
#include "print/PreviewPlacement.h"
#include "widgets/FileDialogs.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

PrintPreviewWindow::PrintPreviewWindow(std::shared_ptr<FileDialogs> dialogs, QWidget* parent,
                                       PrinterSetup::PrinterCheck systemHasPrinter)
    : QWidget(parent, Qt::Window), m_printers(std::move(systemHasPrinter)),
      m_dialogs(std::move(dialogs)) {
    setObjectName(QStringLiteral("PrintPreviewWindow"));
    setWindowTitle(initialCaption());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    printButton = new QToolButton(bar);
    printButton->setObjectName(QStringLiteral("Button1"));
    printButton->setText(QStringLiteral("Drucken"));
    bar->addWidget(printButton);
    bar->addSeparator();
    auto* pageCaption = new QLabel(QStringLiteral("Seite:"), bar);
    pageCaption->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(pageCaption);
    pageBox = new QSpinBox(bar);
    pageBox->setObjectName(QStringLiteral("sePage"));
    pageBox->setRange(1, 1);
    pageBox->setValue(1);
    bar->addWidget(pageBox);
    pageCountLabel = new QLabel(QStringLiteral(" von 1"), bar);
    pageCountLabel->setObjectName(QStringLiteral("LabelVon"));
    bar->addWidget(pageCountLabel);
    bar->addSeparator();
    savePdfButton = new QToolButton(bar);
    savePdfButton->setObjectName(QStringLiteral("bSavePdf"));
    savePdfButton->setText(QStringLiteral("PDF speichern..."));
    bar->addWidget(savePdfButton);
    bar->addSeparator();
    m_progress = new ExportProgress(m_jobs, bar);
    bar->addWidget(m_progress);
    layout->addWidget(bar);

    pageScrollArea = new QScrollArea(this);
    pageScrollArea->setObjectName(QStringLiteral("ScrollBox1"));
    pageScrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pagePicture = new QLabel;
    pagePicture->setObjectName(QStringLiteral("Image1"));
    pagePicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pageScrollArea->setWidget(pagePicture);
    layout->addWidget(pageScrollArea, 1);

    connect(printButton, &QToolButton::clicked, this, &PrintPreviewWindow::print);
    connect(savePdfButton, &QToolButton::clicked, this, &PrintPreviewWindow::savePdf);
    connect(pageBox, &QSpinBox::valueChanged, this, &PrintPreviewWindow::pageNumberChanged);
    connect(&m_jobs, &BackgroundExport::busyChanged, this, &PrintPreviewWindow::showBusy);
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

void PrintPreviewWindow::setTable(const CompetitionTableView& view) {
    m_table = std::make_unique<GridPrinter>(view, m_printers);
}

void PrintPreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placeWhenShown();
}

void PrintPreviewWindow::placeWhenShown() {
    if (!m_table)
        return;
    const QSize page = m_table->previewSize();
    m_image = QImage(page, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(m_printers.screenDpi() / 0.0254));
    m_image.setDotsPerMeterX(dotsPerMeter);
    m_image.setDotsPerMeterY(dotsPerMeter);
    pagePicture->setFixedSize(page);
    // The frame exists only once the window manager has taken the window, which a busy one does
    // late, and a window manager may still move the window while it frames it: checked every
    // 100 ms for three seconds and placed again while it is not where it belongs.
    m_framePlacingsLeft = 30;
    placeOnScreen();
    QTimer::singleShot(0, this, &PrintPreviewWindow::placeOnScreen);
    redraw();
}

namespace {

// The window manager's frame around a shown top-level window; nothing while it is not framed
// yet. While the frame comes the two rectangles may briefly disagree; a margin outside 0..100
// is not believed.
QMargins frameOf(const QWidget& window) {
    if (!window.testAttribute(Qt::WA_Mapped))
        return QMargins();
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const auto margin = [](int value) {
        return value >= 0 && value <= 100 ? value : 0;
    };
    return QMargins(margin(inner.left() - outer.left()), margin(inner.top() - outer.top()),
                    margin(outer.right() - inner.right()), margin(outer.bottom() - inner.bottom()));
}

} // namespace

void PrintPreviewWindow::placeOnScreen() {
    const QScreen* target = screen();
    if (!target || !m_table)
        return;
    // Before the window manager has framed this window its frame is not known, and Qt may keep
    // a frame it measured half-built (smaller than the window) for good; the main window's
    // frame is the best guess then, else room for a title bar and borders more generous than
    // the usual window managers draw. Placed as if frameless, the window would get its title
    // bar above the screen's top edge.
    QMargins frame = frameOf(*this);
    if (m_framePlacingsLeft > 0) {
        --m_framePlacingsLeft;
        QTimer::singleShot(100, this, &PrintPreviewWindow::placeOnScreen);
    }
    if (frame.isNull()) {
        const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
        frame = main ? frameOf(*main) : QMargins();
        if (frame.isNull())
            frame = QMargins(8, 40, 8, 8);
    }
    const QRect client = PreviewPlacement::clientRect(m_image.size(), target->geometry(),
                                                      target->availableGeometry(), frame);
    // The window's own rectangle, inside the frame, so the frame goes round it on the screen.
    if (client != geometry())
        setGeometry(client);
}

void PrintPreviewWindow::redraw() {
    if (!m_table || m_image.isNull())
        return;
    m_table->drawPreview(m_image);
    pagePicture->setPixmap(QPixmap::fromImage(m_image));
}

void PrintPreviewWindow::pageNumberChanged() {
    if (!m_table)
        return;
    m_table->grid().printOptions().previewPage = pageBox->value();
    redraw();
}

void PrintPreviewWindow::print() {
    if (!m_table || m_printers.printing())
        return;
    if (m_printers.installed()) {
        startPrinting();
        return;
    }
    // "In PDF-Datei drucken" is offered by the dialog without any printer; the file it names is
    // then written as "PDF speichern..." writes one.
    if (const std::optional<QString> file = m_printers.outputFile()) {
        writePdf(*file, m_printers.pageLayout());
        return;
    }
    tellNoPrinter();
}

void PrintPreviewWindow::tellNoPrinter() {
    QMessageBox box(QMessageBox::Critical, m_messageTitle, GridPrinter::noPrinterMessage(),
                    QMessageBox::Ok, this);
    box.setInformativeText(noPrinterHint());
    QPushButton* pdf = box.addButton(savePdfButton->text(), QMessageBox::AcceptRole);
    pdf->setObjectName(QStringLiteral("savePdfInstead"));
    box.exec();
    if (box.clickedButton() == pdf)
        savePdf();
}

void PrintPreviewWindow::startPrinting() {
    const PrintOptions& options = m_table->grid().printOptions();
    QPrinter& printer = m_printers.printer();
    printer.setDocName(options.jobTitle);
    printer.setCopyCount(options.copies);
    // The dialog's page range is not ours to use: the rows decide what is printed.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    const GridPrinter::PrintJob job = m_table->printJob();
    const QString refused =
        QStringLiteral("Der Druck auf „%1“ konnte nicht beginnen.").arg(printer.printerName());
    m_printers.beginPrinting();
    m_jobs.run(
        QStringLiteral("Seiten werden gedruckt"),
        [&printer, job, refused](BackgroundExport::Progress& progress) {
            // The printer went away or refused the job; the operator must not wait for paper.
            return GridPrinter::print(printer, job, &progress)
                       ? FileWriteResult::success()
                       : FileWriteResult::failure(refused, QString());
        },
        [this](const FileWriteResult& result) {
            m_printers.endPrinting();
            showBusy();
            if (!result)
                tell(result.message, result.reason);
        });
}

void PrintPreviewWindow::writePdf(const QString& fileName,
                                  const std::optional<QPageLayout>& pageLayout) {
    const GridPrinter::PdfJob job = m_table->pdfJob(pageLayout);
    m_jobs.run(
        QStringLiteral("PDF-Datei wird geschrieben"),
        [job, fileName](BackgroundExport::Progress& progress) {
            return PdfExport::write(job, fileName, &progress);
        },
        [this](const FileWriteResult& result) {
            if (!result)
                tell(result.message, result.reason);
        });
}

void PrintPreviewWindow::tell(const QString& message, const QString& reason) {
    QMessageBox box(QMessageBox::Critical, m_messageTitle, message, QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.exec();
}

void PrintPreviewWindow::showBusy() {
    // One printout at a time: the printer belongs to the one that runs.
    printButton->setEnabled(!m_printers.printing());
}

void PrintPreviewWindow::savePdf() {
    if (!m_table)
        return;
    const FileDialogs::Request request{
        {QStringLiteral("PDF-Dokument (*.pdf)")},
        1,
        PdfExport::proposedName(m_messageTitle, m_table->grid().printOptions().pageTitle),
        QStringLiteral("pdf")};
    const auto choice = m_dialogs->saveFile(this, request);
    if (!choice || choice->fileName.isEmpty())
        return;
    writePdf(FileDialogs::withSuffix(choice->fileName, request, 1), std::nullopt);
}
