#pragma once

#include "competition/CertificateChoice.h"
#include "competition/CertificateFields.h"
#include "print/CertificateTemplate.h"
#include "print/CertificateTemplateFinder.h"

#include <QDate>
#include <QDialog>
#include <QFutureWatcher>
#include <QImage>
#include <QTimer>
#include <functional>
#include <memory>

class CertificateJob;
class Competition;
class FileDialogs;
class PrinterSetup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QSpinBox;

// "Urkunden": certificates for the heats, the final, the best of each class or the best teams,
// from a template of the operator's choice, printed or saved as one PDF. The template is read
// and the preview drawn on a worker thread, and the document is made on a thread of its own,
// so the window and the timing go on meanwhile; the dialog shows the progress and can stop it.
class CertificateDialog : public QDialog {
    Q_OBJECT
public:
    // Runs the print dialog on the printer for that many pages; true for OK.
    using PrintDialog = std::function<bool(QPrinter& printer, int pages, QWidget* parent)>;

    struct Setup {
        QString title;                            // proposed for {Titel}
        QDate date;                               // proposed for {Datum}
        QStringList templateFolders;              // CertificateTemplateFinder::folders
        PrinterSetup* printers = nullptr;         // the printer the protocol is printed on
        std::shared_ptr<FileDialogs> fileDialogs; // unset: the desktop's
        QString messageTitle;                     // caption of its messages: the program title
        PrintDialog printDialog;                  // unset: the desktop's print dialog
    };

    // The certificates of a choice, for recipients the dialog does not find in the race.
    using Collector =
        std::function<QList<CertificateFields::Values>(const CertificateChoice& choice)>;

    // The competition is read when the dialog is shown, whenever a choice changes and after
    // its tables have changed; the certificates of a document are taken when it is started.
    CertificateDialog(const Competition& competition, Setup setup, QWidget* parent = nullptr);
    // Certificates for the best of each class that collect gives (a cup's podium): of the
    // choices only the places, the template, the title and the date are offered.
    CertificateDialog(Collector collect, Setup setup, QWidget* parent = nullptr);
    ~CertificateDialog() override;

    CertificateChoice choice() const;
    // The certificates the current choice gives.
    const QList<CertificateFields::Values>& certificates() const { return m_certificates; }
    const CertificateTemplate& currentTemplate() const { return m_template; }
    // The chosen template is still being read.
    bool readingTemplate() const { return m_reading; }
    CertificateJob& job() const { return *m_job; }

    QComboBox* cbRecipients = nullptr;
    QSpinBox* sePlaces = nullptr;
    QComboBox* cbBestFrom = nullptr;
    QComboBox* cbWithoutPlace = nullptr;
    QComboBox* cbOrder = nullptr;
    QComboBox* cbTime = nullptr;
    QComboBox* cbTemplate = nullptr;
    QLineEdit* leTitle = nullptr;
    QLineEdit* leDate = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblOwnTemplates = nullptr;
    QLabel* imgPreview = nullptr;
    QSpinBox* sePreview = nullptr;
    QLabel* lblPreviewOf = nullptr;
    QPushButton* bPrint = nullptr;
    QPushButton* bPdf = nullptr;
    QPushButton* bClose = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* bCancel = nullptr;
    QLabel* lblStatus = nullptr;

public Q_SLOTS:
    // Reads the templates and the competition again.
    void refresh();
    void savePdf();
    void print();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CertificateDialog(Collector collect, Setup setup, QWidget* parent, bool raceRecipients);
    void buildLayout();
    void sizeToScreen();
    void recipientsChosen();
    void enableChoices();
    QString preferredDesign() const;
    void templateChosen();
    void templateRead();
    void recollect();
    void updatePreview();
    void previewDrawn();
    void setWorking(bool working);
    void jobFinished();
    void tell(const QString& message, const QString& reason);

    Collector m_collect;
    bool m_raceRecipients; // the race's recipients are on offer
    Setup m_setup;
    QList<CertificateTemplateFinder::Entry> m_templates;
    CertificateTemplate m_template;
    QList<CertificateFields::Values> m_certificates;
    CertificateJob* m_job = nullptr;
    bool m_printerInstalled = false;
    bool m_problemShown = false;
    QTimer m_changed;
    QString m_target; // the file being written, empty while printing
    QFutureWatcher<CertificateTemplate> m_templateWatcher;
    QString m_templateFile; // the one being read or read last
    bool m_reading = false;
    QFutureWatcher<QImage> m_previewWatcher;
    bool m_drawing = false;    // a preview is being drawn
    bool m_previewDue = false; // asked for again while one was drawn
};
