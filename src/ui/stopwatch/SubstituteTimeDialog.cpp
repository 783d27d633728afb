#include "ui/stopwatch/SubstituteTimeDialog.h"

#include "print/PrinterSetup.h"
#include "widgets/FileDialogs.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

SubstituteTimeDialog::SubstituteTimeDialog(SubstituteEvidence::Input input,
                                           const TimeFormat& format, FileDialogs& fileDialogs,
                                           bool askHandTime, QWidget* parent)
    : QDialog(parent), m_input(std::move(input)), m_format(format), m_fileDialogs(fileDialogs) {
    setObjectName(QStringLiteral("SubstituteTimeDialog"));
    setWindowTitle(QStringLiteral("Ersatzzeit berechnen"));
    auto* layout = new QVBoxLayout(this);
    destination = new QLabel(this);
    destination->setObjectName(QStringLiteral("destination"));
    destination->setWordWrap(true);
    destination->setTextFormat(Qt::PlainText);
    layout->addWidget(destination);
    setDestination(m_input.competitor);
    const bool hasB =
        m_input.runs[static_cast<std::size_t>(m_input.target)].bMicroseconds.has_value();
    m_input.handTime = !hasB || askHandTime;
    if (m_input.handTime) {
        auto* form = new QFormLayout;
        handTime = new QLineEdit(this);
        handTime->setObjectName(QStringLiteral("handTime"));
        handTime->setPlaceholderText(m_format.formatTime(3146));
        form->addRow(QStringLiteral("Handzeit:"), handTime);
        layout->addLayout(form);
        connect(handTime, &QLineEdit::textChanged, this, &SubstituteTimeDialog::recalculate);
    }
    page = new QTextBrowser(this);
    page->setObjectName(QStringLiteral("evidencePage"));
    page->setMinimumSize(520, 380);
    layout->addWidget(page, 1);
    m_hint = new QLabel(this);
    m_hint->setWordWrap(true);
    layout->addWidget(m_hint);

    auto* buttons = new QDialogButtonBox(this);
    enterButton = buttons->addButton(QStringLiteral("Eintragen"), QDialogButtonBox::AcceptRole);
    pdfButton =
        buttons->addButton(QStringLiteral("Nachweis als PDF..."), QDialogButtonBox::ActionRole);
    printButton = buttons->addButton(QStringLiteral("Drucken..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pdfButton, &QPushButton::clicked, this, &SubstituteTimeDialog::savePdf);
    connect(printButton, &QPushButton::clicked, this, &SubstituteTimeDialog::print);
    layout->addWidget(buttons);
    recalculate();
}

void SubstituteTimeDialog::recalculate() {
    m_valid = false;
    std::optional<qint64> base;
    if (!m_input.handTime)
        base = m_input.runs[static_cast<std::size_t>(m_input.target)].bMicroseconds;
    QString why;
    if (!base) {
        const qint32 typed = handTime ? m_format.ParseTime(handTime->text()) : 0;
        if (typed > 0)
            base = static_cast<qint64>(typed) * 10'000;
        else
            why = QStringLiteral("Bitte die Handzeit eintragen.");
    }
    std::optional<SubstituteTime::Calculation> calculation;
    if (base) {
        std::vector<SubstituteTime::Run> runs = m_input.runs;
        calculation = SubstituteTime::calculate(runs, m_input.target, *base);
        if (!calculation)
            why = SubstituteEvidence::noNeighbourText();
    }
    if (calculation) {
        m_input.calculation = *calculation;
        m_valid = true;
        page->setHtml(SubstituteEvidence::html(m_input));
    } else {
        page->setHtml(QString());
    }
    m_hint->setText(why);
    m_hint->setVisible(!why.isEmpty());
    enterButton->setEnabled(m_valid);
    enterButton->setToolTip(why);
    pdfButton->setEnabled(m_valid);
    pdfButton->setToolTip(why);
    updatePrintButton();
}

void SubstituteTimeDialog::setPrinting(PrinterSetup* printers,
                                       PrintPreviewCommand::PrintDialog dialog) {
    m_printers = printers;
    m_printDialog = dialog ? std::move(dialog)
                           : PrintPreviewCommand::PrintDialog(PrintPreviewCommand::desktopDialog);
    updatePrintButton();
}

void SubstituteTimeDialog::setDestination(const QString& rowAndRun, const QString& newRowReason) {
    QString text = QStringLiteral("Eintragen in: ") + rowAndRun;
    if (!newRowReason.isEmpty())
        text += u'\n' + newRowReason;
    destination->setText(text);
    destination->setVisible(!rowAndRun.isEmpty());
}

void SubstituteTimeDialog::updatePrintButton() {
    QString why = m_valid ? QString() : enterButton->toolTip();
    if (why.isEmpty() && (!m_printers || !m_printers->installed()))
        why = QStringLiteral("Es ist kein Drucker eingerichtet.");
    printButton->setEnabled(why.isEmpty());
    printButton->setToolTip(why);
}

std::optional<qint32> SubstituteTimeDialog::resultHundredths() const {
    if (!m_valid)
        return std::nullopt;
    return m_input.calculation.resultHundredths;
}

bool SubstituteTimeDialog::writePdf(const QString& fileName) const {
    if (!m_valid)
        return false;
    // A file left from before must not pass for this one.
    if (QFileInfo::exists(fileName) && !QFile::remove(fileName))
        return false;
    QPdfWriter writer(fileName);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setTitle(SubstituteEvidence::title());
    writer.setResolution(300);
    QTextDocument document;
    document.setHtml(SubstituteEvidence::html(m_input));
    document.print(&writer);
    return QFileInfo(fileName).size() > 0;
}

void SubstituteTimeDialog::print() {
    updatePrintButton();
    if (!printButton->isEnabled())
        return;
    // A protocol still printing owns the printer until it is done.
    if (m_printers->printing()) {
        m_hint->setText(QStringLiteral("Es wird gerade gedruckt; den Nachweis danach drucken."));
        m_hint->setVisible(true);
        return;
    }
    QPrinter& printer = m_printers->printer();
    printer.setDocName(SubstituteEvidence::title());
    if (!m_printDialog(printer, 1, this))
        return;
    QTextDocument document;
    document.setHtml(SubstituteEvidence::html(m_input));
    document.print(&printer);
    const bool failed = printer.printerState() == QPrinter::Error;
    m_hint->setText(failed ? QStringLiteral("Der Nachweis konnte nicht gedruckt werden: ") +
                                 printer.printerName()
                           : QString());
    m_hint->setVisible(failed);
}

void SubstituteTimeDialog::savePdf() {
    FileDialogs::Request request;
    request.filters = {QStringLiteral("PDF-Dokument (*.pdf)")};
    request.fileName = SubstituteEvidence::title() + QStringLiteral(".pdf");
    request.defaultSuffix = QStringLiteral("pdf");
    const std::optional<FileDialogs::Choice> choice = m_fileDialogs.saveFile(this, request);
    if (!choice)
        return;
    if (!writePdf(choice->fileName))
        m_hint->setText(QStringLiteral("Der Schreibfehler der Datei: ") + choice->fileName);
    m_hint->setVisible(!m_hint->text().isEmpty());
}
