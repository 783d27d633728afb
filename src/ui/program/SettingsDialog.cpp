#include "ui/program/SettingsDialog.h"

#include "settings/PortListBuilder.h"
#include "settings/Settings.h"
#include "ui/program/BackupLineRows.h"
#include "ui/program/ContactLogicBox.h"
#include "ui/program/MqttSettingsPage.h"
#include "ui/program/TimerSettingsPage.h"
#include "widgets/DecimalSpinBox.h"
#include "widgets/FileDialogs.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString portHint = QStringLiteral("LS-Start (4-6); LS-Lap (1-4); LS-Stopp (7-8)");
const QString needsPortHint =
    QStringLiteral("Erst unter \"Lichtschranken:\" einen Anschluss wählen");
const QString oneScreenHint = QStringLiteral("Nur ein Bildschirm angeschlossen");

QLabel* rowLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

SettingsDialog::SettingsDialog(const QStringList& portEntries, QChar decimalSeparator,
                               FileDialogs& fileDialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_fileDialogs(fileDialogs),
      m_separator(decimalSeparator) {
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(Background));
    setPalette(colours);
    setAutoFillBackground(true);
    buildRows();
    portBox->addItems(portEntries.isEmpty() ? QStringList{PortListBuilder::noPortEntry()}
                                            : portEntries);
    // The closed list stays narrow; the open list is wide enough for the device names.
    int widest = 0;
    for (const QString& entry : portEntries)
        widest = qMax(widest, portBox->fontMetrics().horizontalAdvance(entry));
    portBox->view()->setMinimumWidth(widest + 4 * portBox->fontMetrics().averageCharWidth());
    fitSize();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::buildRows() {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(1);
    grid->setVerticalSpacing(4);
    grid->setColumnMinimumWidth(0, DesignedLabelRight - 4);

    portBox = new QComboBox(this);
    portBox->setObjectName(QStringLiteral("cbPort"));
    portBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portBox->setMinimumContentsLength(6);
    portBox->setToolTip(portHint);
    connect(portBox, &QComboBox::currentIndexChanged, this, &SettingsDialog::portChosen);
    grid->addWidget(rowLabel(QStringLiteral("Lichtschranken:"), this), 0, 0);
    grid->addWidget(portBox, 0, 1, 1, 2);

    contactLogicBox = new ContactLogicBox(this);
    contactLogicBox->setObjectName(QStringLiteral("cbAlg"));
    contactLogicLabel = rowLabel(QStringLiteral("Kontakten:"), this);
    grid->addWidget(contactLogicLabel, 1, 0);
    grid->addWidget(contactLogicBox, 1, 1, 1, 2, Qt::AlignLeft);

    lockTimeEdit = new DecimalSpinBox(m_separator, this);
    lockTimeEdit->setObjectName(QStringLiteral("seTimer"));
    lockTimeEdit->setDigits(1);
    lockTimeEdit->setMax(100);
    lockTimeEdit->setMin(0);
    lockTimeEdit->setStep(0.1);
    grid->addWidget(rowLabel(QStringLiteral("Timer:"), this), 2, 0);
    grid->addWidget(lockTimeEdit, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sek."), this), 2, 2);

    waitEdit = new DecimalSpinBox(m_separator, this);
    waitEdit->setObjectName(QStringLiteral("seWait"));
    waitEdit->setDigits(1);
    waitEdit->setMax(600);
    waitEdit->setMin(0.1);
    waitEdit->setStep(0.1);
    waitLabel = rowLabel(QStringLiteral("Stopp-Sperren:"), this);
    grid->addWidget(waitLabel, 3, 0);
    grid->addWidget(waitEdit, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sek."), this), 3, 2);

    countdownEdit = new DecimalSpinBox(m_separator, this);
    countdownEdit->setObjectName(QStringLiteral("seLen"));
    countdownEdit->setDigits(0);
    countdownEdit->setMax(9999);
    countdownEdit->setMin(0);
    countdownEdit->setStep(1);
    countdownEdit->setMaxLength(4);
    grid->addWidget(rowLabel(QStringLiteral("Letzter  Abschnitt:"), this), 4, 0);
    grid->addWidget(countdownEdit, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("m"), this), 4, 2);

    monitorBox = new QComboBox(this);
    monitorBox->setObjectName(QStringLiteral("cbMonitor"));
    monitorBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    monitorLabel = rowLabel(QStringLiteral("Multimonitor:"), this);
    grid->addWidget(monitorLabel, 5, 0);
    grid->addWidget(monitorBox, 5, 1, 1, 2);

    logoButton = new QPushButton(QStringLiteral("Bild..."), this);
    logoButton->setObjectName(QStringLiteral("ButtonLogo"));
    logoButton->setAutoDefault(false);
    connect(logoButton, &QPushButton::clicked, this, &SettingsDialog::chooseLogo);
    grid->addWidget(rowLabel(QStringLiteral("Logo:"), this), 6, 0);
    grid->addWidget(logoButton, 6, 1, 1, 2, Qt::AlignLeft);

    hundredthsNotation = new QRadioButton(QStringLiteral("1024"), this);
    hundredthsNotation->setObjectName(QStringLiteral("rbResult0"));
    decimalNotation = new QRadioButton(QStringLiteral("10,24"), this);
    decimalNotation->setObjectName(QStringLiteral("rbResult1"));
    hundredthsNotation->setChecked(true);
    auto* results = new QButtonGroup(this);
    results->addButton(hundredthsNotation, 0);
    results->addButton(decimalNotation, 1);
    auto* resultRow = new QHBoxLayout;
    resultRow->setSpacing(6);
    resultRow->addWidget(hundredthsNotation);
    resultRow->addWidget(decimalNotation);
    resultRow->addStretch(1);
    grid->addWidget(rowLabel(QStringLiteral("Ergebnis:"), this), 7, 0);
    grid->addLayout(resultRow, 7, 1, 1, 2);

    maxRunEdit = new DecimalSpinBox(m_separator, this);
    maxRunEdit->setObjectName(QStringLiteral("seMaxRun"));
    maxRunEdit->setDigits(0);
    maxRunEdit->setMax(3600);
    maxRunEdit->setMin(0);
    maxRunEdit->setStep(10);
    maxRunEdit->setToolTip(QStringLiteral("Warnung, wenn so lange kein Stopp kommt; 0 = aus"));
    grid->addWidget(rowLabel(QStringLiteral("Max. Laufzeit:"), this), 8, 0);
    grid->addWidget(maxRunEdit, 8, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sek."), this), 8, 2);
    backupRows = new BackupLineRows(*grid, 9, m_separator, this);
    certificatesAfterReleaseBox =
        new QCheckBox(QStringLiteral("Urkunden erst nach Freigabe"), this);
    certificatesAfterReleaseBox->setObjectName(QStringLiteral("cbUrkundenNachFreigabe"));
    certificatesAfterReleaseBox->setToolTip(
        QStringLiteral("Urkunden einer Klasse erst, wenn ihre Ergebnisse als offiziell "
                       "freigegeben sind (Startliste > Ergebnisse freigeben...)"));
    grid->setColumnStretch(2, 1);

    cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancelButton->setObjectName(QStringLiteral("ButtonCancel"));
    cancelButton->setAutoDefault(false);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("ButtonOK"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(cancelButton, 1);
    buttons->addWidget(okButton, 1);

    // The publishing stands beside the rows of the timing, which keep their place and look.
    publishPage = new MqttSettingsPage(m_fileDialogs, this);
    timerPage = new TimerSettingsPage(this);
    // The pages beside the timing rows share one place: the dialog stays as wide as it was.
    pageTabs = new QTabWidget(this);
    pageTabs->setObjectName(QStringLiteral("SettingsPages"));
    pageTabs->addTab(publishPage, MqttSettingsPage::caption());
    pageTabs->addTab(timerPage, TimerSettingsPage::caption());
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* timing = new QVBoxLayout;
    timing->setSpacing(10);
    timing->addLayout(grid);
    timing->addWidget(certificatesAfterReleaseBox);
    timing->addStretch(1);
    timing->addLayout(buttons);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(4, 8, 8, 8);
    outer->setSpacing(10);
    outer->addLayout(timing);
    outer->addWidget(line);
    outer->addWidget(pageTabs, 1);
}

void SettingsDialog::fitSize() {
    layout()->activate();
    setFixedSize(layout()->totalSizeHint().expandedTo(DesignedSize));
}

void SettingsDialog::fill(const Settings& settings) {
    QStringList entries;
    for (int index = 0; index < portBox->count(); ++index)
        entries.append(portBox->itemText(index));
    portBox->setCurrentIndex(PortListBuilder::indexOfPort(entries, settings.port));
    contactLogicBox->setEnabled(portBox->currentIndex() > 0);
    contactLogicBox->setCurrentIndex(settings.alg == 1 ? 1 : 0);
    lockTimeEdit->setValue(settings.timer / 1000.0);
    (settings.vidResult != 0 ? decimalNotation : hundredthsNotation)->setChecked(true);
    countdownEdit->setValue(settings.len);
    maxRunEdit->setValue(settings.maxRunTime);
    certificatesAfterReleaseBox->setChecked(settings.certificatesAfterRelease);
    // Taken when the dialog shows.
    m_logoPath = settings.logo;
    m_lockTimeMs = settings.lockTime;
    m_screenIndex = settings.monitor;
    backupRows->fill(settings);
    publishPage->fill(settings);
    timerPage->fill(settings);
}

void SettingsDialog::showEvent(QShowEvent* event) {
    placeWhenShown();
    QDialog::showEvent(event);
}

void SettingsDialog::placeWhenShown() {
    logoButton->setToolTip(m_logoPath);
    const bool severalScreens = QGuiApplication::screens().size() > 1;
    monitorBox->setEnabled(severalScreens);
    monitorLabel->setEnabled(severalScreens);
    monitorBox->setToolTip(severalScreens ? QString() : oneScreenHint);
    monitorBox->clear();
    waitEdit->setValue(m_lockTimeMs / 1000.0);
    portChosen();
    fillScreens();
    fitSize();
    portBox->setFocus();
}

void SettingsDialog::fillScreens() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() <= 1) {
        monitorBox->addItem(QStringLiteral("Anfangswert"));
        monitorBox->setCurrentIndex(0);
        return;
    }
    for (int number = 1; number <= screens.size(); ++number) {
        const QScreen* screen = screens.at(number - 1);
        // In the screen's own pixels, as the operator knows the monitor.
        const QSize size = screen->geometry().size() * screen->devicePixelRatio();
        monitorBox->addItem(QString::asprintf("%d=(%d,%d)", number, size.width(), size.height()));
    }
    monitorBox->setCurrentIndex(qBound(0, m_screenIndex, monitorBox->count() - 1));
}

void SettingsDialog::portChosen() {
    const bool portChosen = portBox->currentIndex() > 0;
    contactLogicBox->setEnabled(portChosen);
    waitEdit->setEnabled(contactLogicBox->isEnabled());
    contactLogicLabel->setEnabled(portChosen);
    waitLabel->setEnabled(portChosen);
    contactLogicBox->setToolTip(portChosen ? QString() : needsPortHint);
    waitEdit->setToolTip(portChosen ? QString() : needsPortHint);
    portBox->setToolTip(portChosen ? portHint + u'\n' + portBox->currentText() : portHint);
    backupRows->setPortChosen(portChosen, needsPortHint);
}

void SettingsDialog::chooseLogo() {
    FileDialogs::Request request;
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    request.filters = {QStringLiteral("Bilder (") + patterns.join(u' ') + u')',
                       QStringLiteral("Alle Dateien (*)")};
    request.fileName = m_logoPath;
    const std::optional<FileDialogs::Choice> choice = m_fileDialogs.openFile(this, request);
    if (!choice)
        return;
    QImageReader reader(choice->fileName);
    const bool readable = !reader.read().isNull();
    m_logoPath = readable ? choice->fileName : QString();
    logoButton->setToolTip(m_logoPath);
    Q_EMIT logoChosen(m_logoPath);
}

SettingsChoices SettingsDialog::choices() const {
    SettingsChoices c;
    c.vidResult = hundredthsNotation->isChecked() ? 0 : 1;
    c.lockTimeSeconds = waitEdit->value();
    c.timerSeconds = lockTimeEdit->value();
    // With one screen there is nothing to choose: the TV screen stays the one chosen before,
    // for when the projector is switched on.
    c.screenIndex = monitorBox->isEnabled() ? qMax(0, monitorBox->currentIndex()) : m_screenIndex;
    c.lengthMetres = countdownEdit->value();
    c.maxRunSeconds = maxRunEdit->value();
    c.certificatesAfterRelease = certificatesAfterReleaseBox->isChecked();
    c.portChosen = portBox->currentIndex() > 0;
    c.portNumber = c.portChosen ? PortListBuilder::portNumber(portBox->currentText()) : 0;
    c.alg = qMax(0, contactLogicBox->currentIndex());
    backupRows->readInto(c);
    return c;
}
