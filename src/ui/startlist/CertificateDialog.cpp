#include "ui/startlist/CertificateDialog.h"

#include "competition/CertificateRecipients.h"
#include "competition/Competition.h"
#include "print/CertificateJob.h"
#include "print/CertificatePage.h"
#include "print/PdfExport.h"
#include "print/PrinterSetup.h"
#include "widgets/FileDialogs.h"
#include "widgets/QtFileDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPromise>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using Recipients = CertificateChoice::Recipients;

bool runPrintDialog(QPrinter& printer, int pages, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, qMax(1, pages));
    dialog.setFromTo(1, qMax(1, pages));
    return dialog.exec() == QDialog::Accepted;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& entries) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(entries);
    return box;
}

// The work's result, made on a thread of the pool; the watcher of the future is told when it
// is there, and a watcher gone meanwhile is simply never told.
template <typename T, typename Work> QFuture<T> inBackground(Work work) {
    auto promise = std::make_shared<QPromise<T>>();
    QFuture<T> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::move(work)] {
        promise->addResult(work());
        promise->finish();
    });
    return future;
}

QString certificatesText(qsizetype count) {
    if (count == 0)
        return QStringLiteral("Keine Urkunde für diese Auswahl.");
    return count == 1 ? QStringLiteral("1 Urkunde") : QStringLiteral("%1 Urkunden").arg(count);
}

} // namespace

CertificateDialog::CertificateDialog(const Competition& competition, Setup setup, QWidget* parent)
    : CertificateDialog(
          [&competition](const CertificateChoice& choice) {
              return CertificateRecipients::collect(competition, choice);
          },
          std::move(setup), parent, true) {
    // A derivation rewrites the tables many times over; the certificates are counted again
    // once it is done.
    for (const CompetitionTable* table :
         {&competition.heatStartList(), &competition.heatResults(), &competition.finalStartList(),
          &competition.finalResults(), &competition.teams()}) {
        const auto later = [this] {
            m_changed.start();
        };
        connect(table, &QAbstractItemModel::modelReset, this, later);
        connect(table, &QAbstractItemModel::dataChanged, this, later);
        connect(table, &QAbstractItemModel::rowsInserted, this, later);
        connect(table, &QAbstractItemModel::rowsRemoved, this, later);
    }
}

CertificateDialog::CertificateDialog(Collector collect, Setup setup, QWidget* parent)
    : CertificateDialog(std::move(collect), std::move(setup), parent, false) {}

CertificateDialog::CertificateDialog(Collector collect, Setup setup, QWidget* parent,
                                     bool raceRecipients)
    : QDialog(parent), m_collect(std::move(collect)), m_raceRecipients(raceRecipients),
      m_setup(std::move(setup)), m_job(new CertificateJob(this)) {
    setObjectName(QStringLiteral("CertificateDialog"));
    setWindowTitle(QStringLiteral("Urkunden"));
    if (!m_setup.fileDialogs)
        m_setup.fileDialogs = std::make_shared<QtFileDialogs>();
    if (!m_setup.printDialog)
        m_setup.printDialog = runPrintDialog;
    buildLayout();
    connect(m_job, &CertificateJob::progress, this, [this](int done, int total) {
        pbProgress->setMaximum(total);
        pbProgress->setValue(done);
    });
    connect(m_job, &CertificateJob::finished, this, &CertificateDialog::jobFinished);
    connect(&m_templateWatcher, &QFutureWatcherBase::finished, this,
            &CertificateDialog::templateRead);
    connect(&m_previewWatcher, &QFutureWatcherBase::finished, this,
            &CertificateDialog::previewDrawn);
    m_changed.setSingleShot(true);
    m_changed.setInterval(0);
    connect(&m_changed, &QTimer::timeout, this, &CertificateDialog::recollect);
    refresh();
    sizeToScreen();
}

// Whatever a worker still reads or draws is not waited for: its result goes nowhere.
CertificateDialog::~CertificateDialog() = default;

void CertificateDialog::buildLayout() {
    cbRecipients =
        combo(this, "cbRecipients",
              {QStringLiteral("Alle Teilnehmer des Vorlaufs"),
               QStringLiteral("Alle Teilnehmer des Endlaufs"),
               QStringLiteral("Die Besten je Klasse"), QStringLiteral("Die besten Mannschaften")});
    if (!m_raceRecipients)
        cbRecipients->setCurrentIndex(static_cast<int>(Recipients::BestPerClass));
    sePlaces = new QSpinBox(this);
    sePlaces->setObjectName(QStringLiteral("sePlaces"));
    sePlaces->setRange(1, 99);
    sePlaces->setValue(3);
    cbBestFrom = combo(this, "cbBestFrom",
                       {QStringLiteral("nach dem Endlauf"), QStringLiteral("nach dem Vorlauf")});
    cbWithoutPlace =
        combo(this, "cbWithoutPlace",
              {QStringLiteral("„Teilnahme“ statt Platz"), QStringLiteral("keine Urkunde")});
    cbOrder = combo(this, "cbOrder",
                    {QStringLiteral("nach Klasse und Platz"), QStringLiteral("nach Startnummer")});
    cbTime = combo(this, "cbTime", {QStringLiteral("G-Zeit"), QStringLiteral("Endzeit")});
    cbTemplate = combo(this, "cbTemplate", {});
    leTitle = new QLineEdit(m_setup.title, this);
    leTitle->setObjectName(QStringLiteral("leTitle"));
    leDate = new QLineEdit(m_setup.date.toString(QStringLiteral("dd.MM.yyyy")), this);
    leDate->setObjectName(QStringLiteral("leDate"));

    auto* places = new QHBoxLayout;
    places->addWidget(sePlaces);
    places->addWidget(cbBestFrom, 1);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("Empfänger:"), cbRecipients);
    form->addRow(QStringLiteral("Plätze 1 bis:"), places);
    form->addRow(QStringLiteral("Ohne Platz:"), cbWithoutPlace);
    form->addRow(QStringLiteral("Reihenfolge:"), cbOrder);
    form->addRow(QStringLiteral("Zeit:"), cbTime);
    form->addRow(QStringLiteral("Vorlage:"), cbTemplate);
    form->addRow(QStringLiteral("Titel:"), leTitle);
    form->addRow(QStringLiteral("Datum:"), leDate);

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblOwnTemplates = new QLabel(this);
    lblOwnTemplates->setObjectName(QStringLiteral("lblOwnTemplates"));
    lblOwnTemplates->setWordWrap(true);
    lblOwnTemplates->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);

    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setFormat(QStringLiteral("%v von %m"));
    bCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    auto* progress = new QHBoxLayout;
    progress->addWidget(pbProgress, 1);
    progress->addWidget(bCancel);

    bPrint = new QPushButton(QStringLiteral("Drucken..."), this);
    bPrint->setObjectName(QStringLiteral("bPrint"));
    bPdf = new QPushButton(QStringLiteral("PDF speichern..."), this);
    bPdf->setObjectName(QStringLiteral("bPdf"));
    bClose = new QPushButton(QStringLiteral("Schließen"), this);
    bClose->setObjectName(QStringLiteral("bClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bPrint);
    buttons->addWidget(bPdf);
    buttons->addStretch(1);
    buttons->addWidget(bClose);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(lblCount);
    left->addWidget(lblOwnTemplates);
    left->addStretch(1);
    left->addLayout(progress);
    left->addWidget(lblStatus);

    imgPreview = new QLabel(this);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setMinimumSize(150, 212);
    imgPreview->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    sePreview = new QSpinBox(this);
    sePreview->setObjectName(QStringLiteral("sePreview"));
    sePreview->setRange(1, 1);
    lblPreviewOf = new QLabel(QStringLiteral(" von 1"), this);
    lblPreviewOf->setObjectName(QStringLiteral("lblPreviewOf"));
    auto* pageRow = new QHBoxLayout;
    pageRow->addStretch(1);
    pageRow->addWidget(new QLabel(QStringLiteral("Urkunde:"), this));
    pageRow->addWidget(sePreview);
    pageRow->addWidget(lblPreviewOf);
    pageRow->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(imgPreview, 1);
    right->addLayout(pageRow);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    pbProgress->setVisible(false);
    bCancel->setVisible(false);

    for (QComboBox* box : {cbBestFrom, cbWithoutPlace, cbOrder, cbTime})
        connect(box, &QComboBox::currentIndexChanged, this, &CertificateDialog::recollect);
    connect(cbRecipients, &QComboBox::currentIndexChanged, this,
            &CertificateDialog::recipientsChosen);
    connect(cbTemplate, &QComboBox::currentIndexChanged, this, &CertificateDialog::templateChosen);
    connect(sePlaces, &QSpinBox::valueChanged, this, &CertificateDialog::recollect);
    for (QLineEdit* edit : {leTitle, leDate})
        connect(edit, &QLineEdit::textChanged, this, &CertificateDialog::recollect);
    connect(sePreview, &QSpinBox::valueChanged, this, &CertificateDialog::updatePreview);
    connect(bPdf, &QPushButton::clicked, this, &CertificateDialog::savePdf);
    connect(bPrint, &QPushButton::clicked, this, &CertificateDialog::print);
    connect(bClose, &QPushButton::clicked, this, &CertificateDialog::reject);
    connect(bCancel, &QPushButton::clicked, m_job, &CertificateJob::cancel);
    recipientsChosen();
}

CertificateChoice CertificateDialog::choice() const {
    CertificateChoice c;
    c.recipients = static_cast<Recipients>(cbRecipients->currentIndex());
    c.places = sePlaces->value();
    c.bestFromFinal = cbBestFrom->currentIndex() == 0;
    c.participation = cbWithoutPlace->currentIndex() == 0;
    c.order = cbOrder->currentIndex() == 0 ? CertificateChoice::Order::ClassAndPlace
                                           : CertificateChoice::Order::StartNumber;
    c.time = cbTime->currentIndex() == 0 ? CertificateChoice::Time::HeatTotal
                                         : CertificateChoice::Time::FinalTotal;
    c.title = leTitle->text();
    c.date = leDate->text();
    return c;
}

void CertificateDialog::refresh() {
    m_printerInstalled = m_setup.printers && m_setup.printers->installed();
    const QString previous = cbTemplate->currentText();
    m_templates = CertificateTemplateFinder::find(m_setup.templateFolders);
    {
        const QSignalBlocker quiet(cbTemplate);
        cbTemplate->clear();
        for (const auto& entry : m_templates)
            cbTemplate->addItem(entry.name, entry.fileName);
        const int again = cbTemplate->findText(previous);
        cbTemplate->setCurrentIndex(again >= 0 ? again
                                               : qMax(0, cbTemplate->findText(preferredDesign())));
    }
    const QString own = m_setup.templateFolders.value(0);
    lblOwnTemplates->setText(own.isEmpty() ? QString()
                                           : QStringLiteral("Eigene Vorlagen: Urkunde*.svg in %1")
                                                 .arg(QDir::toNativeSeparators(own)));
    templateChosen();
}

void CertificateDialog::recipientsChosen() {
    const auto who = static_cast<Recipients>(cbRecipients->currentIndex());
    // The time that ranks them is the one their certificate shows, until chosen otherwise.
    if (who == Recipients::HeatResults ||
        (who == Recipients::BestPerClass && cbBestFrom->currentIndex() == 1))
        cbTime->setCurrentIndex(0);
    else if (who != Recipients::BestTeams)
        cbTime->setCurrentIndex(1);
    enableChoices();
    // The shipped design that suits them, while it is on offer; choosing it updates the rest.
    const int design = cbTemplate->findText(preferredDesign());
    if (design >= 0 && design != cbTemplate->currentIndex()) {
        cbTemplate->setCurrentIndex(design);
        return;
    }
    recollect();
}

QString CertificateDialog::preferredDesign() const {
    // A cup's podium has a design of its own, with the cup's name and the points.
    if (!m_raceRecipients)
        return QStringLiteral("Urkunde-Cup");
    const auto who = static_cast<Recipients>(cbRecipients->currentIndex());
    return who == Recipients::BestPerClass || who == Recipients::BestTeams
               ? QStringLiteral("Urkunde-Podest")
               : QStringLiteral("Urkunde-Teilnahme");
}

void CertificateDialog::enableChoices() {
    if (!m_raceRecipients) {
        // Given recipients: only how many places and how the certificates look are chosen.
        for (QWidget* w : std::initializer_list<QWidget*>{cbRecipients, cbBestFrom, cbWithoutPlace,
                                                          cbOrder, cbTime})
            w->setEnabled(false);
        for (QWidget* w : std::initializer_list<QWidget*>{sePlaces, cbTemplate, leTitle, leDate})
            w->setEnabled(true);
        return;
    }
    const auto who = static_cast<Recipients>(cbRecipients->currentIndex());
    const bool best = who == Recipients::BestPerClass || who == Recipients::BestTeams;
    for (QWidget* w :
         std::initializer_list<QWidget*>{cbRecipients, cbOrder, cbTemplate, leTitle, leDate})
        w->setEnabled(true);
    sePlaces->setEnabled(best);
    cbBestFrom->setEnabled(who == Recipients::BestPerClass);
    cbWithoutPlace->setEnabled(!best);
    cbTime->setEnabled(who != Recipients::BestTeams);
}

void CertificateDialog::templateChosen() {
    const QString fileName = cbTemplate->currentData().toString();
    m_template = CertificateTemplate();
    if (!fileName.isEmpty() && !m_reading) {
        // A file of any size may lie there; it is looked at and read away from the window.
        m_reading = true;
        m_templateFile = fileName;
        m_templateWatcher.setFuture(inBackground<CertificateTemplate>(
            [fileName] { return CertificateTemplate::fromFile(fileName); }));
    }
    recollect();
}

void CertificateDialog::templateRead() {
    m_reading = false;
    // Another design may have been chosen meanwhile: then that one is read now.
    if (m_templateFile != cbTemplate->currentData().toString()) {
        templateChosen();
        return;
    }
    m_template = m_templateWatcher.result();
    recollect();
}

void CertificateDialog::recollect() {
    m_certificates = m_collect(choice());
    lblCount->setText(certificatesText(m_certificates.size()));
    QString why;
    const bool reading = m_reading;
    if (m_templates.isEmpty())
        why = QStringLiteral("Keine Vorlage gefunden (Urkunde*.svg).");
    else if (reading)
        why = QStringLiteral("Die Vorlage wird gelesen …");
    else if (!m_template.isValid())
        why = m_template.error();
    else if (m_certificates.isEmpty())
        why = QStringLiteral("Für diese Auswahl gibt es keine Urkunde.");
    const bool idle = !m_job->running();
    bPdf->setEnabled(idle && why.isEmpty());
    bPdf->setToolTip(why);
    const QString printWhy = why.isEmpty() && !m_printerInstalled
                                 ? QStringLiteral("Es ist kein Drucker eingerichtet.")
                                 : why;
    bPrint->setEnabled(idle && printWhy.isEmpty());
    bPrint->setToolTip(printWhy);
    // A problem with the designs stands in the status line until it is gone.
    const bool problem = m_templates.isEmpty() || (!reading && !m_template.isValid());
    if (problem || m_problemShown)
        lblStatus->setText(problem ? why : QString());
    m_problemShown = problem;
    {
        const QSignalBlocker quiet(sePreview);
        sePreview->setRange(1, qMax(1, static_cast<int>(m_certificates.size())));
        sePreview->setEnabled(m_certificates.size() > 1);
    }
    lblPreviewOf->setText(QStringLiteral(" von ") +
                          QString::number(qMax<qsizetype>(1, m_certificates.size())));
    updatePreview();
}

void CertificateDialog::updatePreview() {
    const QSize area = imgPreview->contentsRect().size();
    if (!m_template.isValid() || area.isEmpty()) {
        imgPreview->setPixmap(QPixmap());
        return;
    }
    if (m_drawing) {
        m_previewDue = true;
        return;
    }
    m_drawing = true;
    m_previewDue = false;
    const qreal ratio = devicePixelRatioF();
    const QRectF page =
        CertificatePage::placement(m_template.pageSizeMm(), QRectF(QPointF(), area));
    const int index = sePreview->value() - 1;
    const CertificateFields::Values values = m_certificates.value(index, m_certificates.value(0));
    // A drawing within the limits may still take its time; the window does not wait for it.
    m_previewWatcher.setFuture(inBackground<QImage>([design = m_template, values, page, ratio] {
        QImage image((page.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        CertificatePage(design).paint(painter, QRectF(QPointF(), page.size()), values);
        painter.setPen(Qt::gray);
        painter.drawRect(QRectF(QPointF(), page.size()).adjusted(0, 0, -1, -1));
        painter.end();
        return image;
    }));
}

void CertificateDialog::previewDrawn() {
    m_drawing = false;
    if (m_previewDue) {
        updatePreview();
        return;
    }
    if (m_template.isValid())
        imgPreview->setPixmap(QPixmap::fromImage(m_previewWatcher.result()));
}

void CertificateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}

void CertificateDialog::sizeToScreen() {
    // Room for a preview one can read, as far as the screen allows.
    const QScreen* place = parentWidget() ? parentWidget()->screen() : screen();
    if (!place)
        return;
    const QRect room = place->availableGeometry();
    const QSize size =
        QSize(760, 560).boundedTo(room.size() * 9 / 10).expandedTo(minimumSizeHint());
    resize(size);
    // A dialog of the window is centred over it when shown; one of its own goes in the middle.
    if (!parentWidget())
        move(room.center() - QPoint(size.width() / 2, size.height() / 2));
}

void CertificateDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    QTimer::singleShot(0, this, &CertificateDialog::updatePreview);
}

void CertificateDialog::savePdf() {
    recollect();
    if (!bPdf->isEnabled())
        return;
    const FileDialogs::Request request{
        {QStringLiteral("PDF-Dokument (*.pdf)")},
        1,
        PdfExport::proposedName(m_setup.messageTitle, QStringLiteral("Urkunden")),
        QStringLiteral("pdf")};
    const auto chosen = m_setup.fileDialogs->saveFile(this, request);
    if (!chosen || chosen->fileName.isEmpty())
        return;
    m_target = FileDialogs::withSuffix(chosen->fileName, request, chosen->filterIndex);
    if (m_job->startPdf(m_template, m_certificates, m_target, QStringLiteral("Urkunden")))
        setWorking(true);
}

void CertificateDialog::print() {
    recollect();
    if (!bPrint->isEnabled() || !m_setup.printers)
        return;
    QPrinter& chosen = m_setup.printers->printer();
    chosen.setDocName(m_setup.messageTitle + QStringLiteral("  URKUNDEN"));
    if (!m_setup.printDialog(chosen, static_cast<int>(m_certificates.size()), this))
        return;
    m_target.clear();
    if (m_job->startPrint(CertificateJob::printerLike(chosen), m_template, m_certificates))
        setWorking(true);
}

void CertificateDialog::setWorking(bool working) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{cbRecipients, sePlaces, cbBestFrom, cbWithoutPlace,
                                         cbOrder, cbTime, cbTemplate, leTitle, leDate})
        w->setEnabled(!working);
    pbProgress->setVisible(working);
    bCancel->setVisible(working);
    if (working) {
        pbProgress->setRange(0, static_cast<int>(m_certificates.size()));
        pbProgress->setValue(0);
        lblStatus->setText(m_target.isEmpty() ? QStringLiteral("Die Urkunden werden gedruckt …")
                                              : QStringLiteral("Das PDF wird erstellt …"));
        bPrint->setEnabled(false);
        bPdf->setEnabled(false);
        bCancel->setFocus();
    } else {
        enableChoices();
        recollect();
    }
}

void CertificateDialog::jobFinished() {
    const CertificateJob::Outcome& outcome = m_job->outcome();
    setWorking(false);
    switch (outcome.result) {
    case CertificateJob::Result::Written:
        lblStatus->setText(
            QStringLiteral("%1 gespeichert: %2")
                .arg(certificatesText(outcome.pages), QDir::toNativeSeparators(m_target)));
        break;
    case CertificateJob::Result::Printed:
        lblStatus->setText(certificatesText(outcome.pages) + QStringLiteral(" gedruckt."));
        break;
    case CertificateJob::Result::Cancelled:
        lblStatus->setText(m_target.isEmpty()
                               ? QStringLiteral("Der Druck wurde abgebrochen.")
                               : QStringLiteral("Abgebrochen; es wurde nichts gespeichert."));
        break;
    case CertificateJob::Result::Failed:
        lblStatus->setText(outcome.message);
        tell(outcome.message, outcome.reason);
        break;
    }
}

void CertificateDialog::tell(const QString& message, const QString& reason) {
    QMessageBox box(QMessageBox::Critical, m_setup.messageTitle, message, QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.exec();
}

void CertificateDialog::reject() {
    // Closing while a document is made stops it: nothing is left half printed or written.
    if (m_job->running())
        m_job->cancel();
    QDialog::reject();
}
