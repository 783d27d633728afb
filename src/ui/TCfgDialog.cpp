#include "ui/TCfgDialog.h"

#include "settings/PortListBuilder.h"
#include "settings/Settings.h"
#include "ui/BackupLineRows.h"
#include "ui/ContactLogicBox.h"
#include "widgets/FileDialogs.h"
#include "widgets/TSpinFloatEdit.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
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

TCfgDialog::TCfgDialog(const QStringList& portEntries, QChar decimalSeparator,
                       FileDialogs& fileDialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_fileDialogs(fileDialogs),
      m_separator(decimalSeparator) {
    setObjectName(QStringLiteral("CfgDialog"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(Background));
    setPalette(colours);
    setAutoFillBackground(true);
    buildRows();
    cbPort->addItems(portEntries.isEmpty() ? QStringList{PortListBuilder::noPortEntry()}
                                           : portEntries);
    // The closed list stays narrow; the open list is wide enough for the device names.
    int widest = 0;
    for (const QString& entry : portEntries)
        widest = qMax(widest, cbPort->fontMetrics().horizontalAdvance(entry));
    cbPort->view()->setMinimumWidth(widest + 4 * cbPort->fontMetrics().averageCharWidth());
    fitSize();
}

TCfgDialog::~TCfgDialog() = default;

void TCfgDialog::buildRows() {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(1);
    grid->setVerticalSpacing(4);
    grid->setColumnMinimumWidth(0, DesignedLabelRight - 4);

    cbPort = new QComboBox(this);
    cbPort->setObjectName(QStringLiteral("cbPort"));
    cbPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbPort->setMinimumContentsLength(6);
    cbPort->setToolTip(portHint);
    connect(cbPort, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbPortChange);
    grid->addWidget(rowLabel(QStringLiteral("Lichtschranken:"), this), 0, 0);
    grid->addWidget(cbPort, 0, 1, 1, 2);

    cbAlg = new ContactLogicBox(this);
    cbAlg->setObjectName(QStringLiteral("cbAlg"));
    LabelAlg = rowLabel(QStringLiteral("Kontakten:"), this);
    grid->addWidget(LabelAlg, 1, 0);
    grid->addWidget(cbAlg, 1, 1, 1, 2, Qt::AlignLeft);

    seTimer = new TSpinFloatEdit(m_separator, this);
    seTimer->setObjectName(QStringLiteral("seTimer"));
    seTimer->setDigits(1);
    seTimer->setMax(100);
    seTimer->setMin(0);
    seTimer->setStep(0.1);
    grid->addWidget(rowLabel(QStringLiteral("Timer:"), this), 2, 0);
    grid->addWidget(seTimer, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sek."), this), 2, 2);

    seWait = new TSpinFloatEdit(m_separator, this);
    seWait->setObjectName(QStringLiteral("seWait"));
    seWait->setDigits(1);
    seWait->setMax(600);
    seWait->setMin(0.1);
    seWait->setStep(0.1);
    LabelWait = rowLabel(QStringLiteral("Stopp-Sperren:"), this);
    grid->addWidget(LabelWait, 3, 0);
    grid->addWidget(seWait, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sek."), this), 3, 2);

    seLen = new TSpinFloatEdit(m_separator, this);
    seLen->setObjectName(QStringLiteral("seLen"));
    seLen->setDigits(0);
    seLen->setMax(9999);
    seLen->setMin(0);
    seLen->setStep(1);
    seLen->setMaxLength(4);
    grid->addWidget(rowLabel(QStringLiteral("Letzter  Abschnitt:"), this), 4, 0);
    grid->addWidget(seLen, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("m"), this), 4, 2);

    cbMonitor = new QComboBox(this);
    cbMonitor->setObjectName(QStringLiteral("cbMonitor"));
    cbMonitor->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    LabelMonitor = rowLabel(QStringLiteral("Multimonitor:"), this);
    grid->addWidget(LabelMonitor, 5, 0);
    grid->addWidget(cbMonitor, 5, 1, 1, 2);

    ButtonLogo = new QPushButton(QStringLiteral("Bild..."), this);
    ButtonLogo->setObjectName(QStringLiteral("ButtonLogo"));
    ButtonLogo->setAutoDefault(false);
    connect(ButtonLogo, &QPushButton::clicked, this, &TCfgDialog::ButtonLogoClick);
    grid->addWidget(rowLabel(QStringLiteral("Logo:"), this), 6, 0);
    grid->addWidget(ButtonLogo, 6, 1, 1, 2, Qt::AlignLeft);

    rbResult0 = new QRadioButton(QStringLiteral("1024"), this);
    rbResult0->setObjectName(QStringLiteral("rbResult0"));
    rbResult1 = new QRadioButton(QStringLiteral("10,24"), this);
    rbResult1->setObjectName(QStringLiteral("rbResult1"));
    rbResult0->setChecked(true);
    auto* results = new QButtonGroup(this);
    results->addButton(rbResult0, 0);
    results->addButton(rbResult1, 1);
    auto* resultRow = new QHBoxLayout;
    resultRow->setSpacing(6);
    resultRow->addWidget(rbResult0);
    resultRow->addWidget(rbResult1);
    resultRow->addStretch(1);
    grid->addWidget(rowLabel(QStringLiteral("Ergebnis:"), this), 7, 0);
    grid->addLayout(resultRow, 7, 1, 1, 2);

    seMaxRun = new TSpinFloatEdit(m_separator, this);
    seMaxRun->setObjectName(QStringLiteral("seMaxRun"));
    seMaxRun->setDigits(0);
    seMaxRun->setMax(3600);
    seMaxRun->setMin(0);
    seMaxRun->setStep(10);
    seMaxRun->setToolTip(QStringLiteral("Warnung, wenn so lange kein Stopp kommt; 0 = aus"));
    grid->addWidget(rowLabel(QStringLiteral("Max. Laufzeit:"), this), 8, 0);
    grid->addWidget(seMaxRun, 8, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sek."), this), 8, 2);
    backupRows = new BackupLineRows(*grid, 9, m_separator, this);
    grid->setColumnStretch(2, 1);

    ButtonCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setAutoDefault(false);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(ButtonCancel, 1);
    buttons->addWidget(ButtonOK, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 8, 8, 8);
    outer->setSpacing(10);
    outer->addLayout(grid);
    outer->addStretch(1);
    outer->addLayout(buttons);
}

void TCfgDialog::fitSize() {
    layout()->activate();
    setFixedSize(layout()->totalSizeHint().expandedTo(DesignedSize));
}

void TCfgDialog::fill(const Settings& settings) {
    QStringList entries;
    for (int index = 0; index < cbPort->count(); ++index)
        entries.append(cbPort->itemText(index));
    cbPort->setCurrentIndex(PortListBuilder::indexOfPort(entries, settings.port));
    cbAlg->setEnabled(cbPort->currentIndex() > 0);
    cbAlg->setCurrentIndex(settings.alg == 1 ? 1 : 0);
    seTimer->setValue(settings.timer / 1000.0);
    (settings.vidResult != 0 ? rbResult1 : rbResult0)->setChecked(true);
    seLen->setValue(settings.len);
    seMaxRun->setValue(settings.maxRunTime);
    // Taken when the dialog shows.
    m_logoPath = settings.logo;
    m_lockTimeMs = settings.lockTime;
    m_screenIndex = settings.monitor;
    backupRows->fill(settings);
}

void TCfgDialog::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TCfgDialog::FormShow() {
    ButtonLogo->setToolTip(m_logoPath);
    const bool severalScreens = QGuiApplication::screens().size() > 1;
    cbMonitor->setEnabled(severalScreens);
    LabelMonitor->setEnabled(severalScreens);
    cbMonitor->setToolTip(severalScreens ? QString() : oneScreenHint);
    cbMonitor->clear();
    seWait->setValue(m_lockTimeMs / 1000.0);
    cbPortChange();
    fillScreens();
    fitSize();
    cbPort->setFocus();
}

void TCfgDialog::fillScreens() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() <= 1) {
        cbMonitor->addItem(QStringLiteral("Anfangswert"));
        cbMonitor->setCurrentIndex(0);
        return;
    }
    for (int number = 1; number <= screens.size(); ++number) {
        const QScreen* screen = screens.at(number - 1);
        // In the screen's own pixels, as the operator knows the monitor.
        const QSize size = screen->geometry().size() * screen->devicePixelRatio();
        cbMonitor->addItem(QString::asprintf("%d=(%d,%d)", number, size.width(), size.height()));
    }
    cbMonitor->setCurrentIndex(qBound(0, m_screenIndex, cbMonitor->count() - 1));
}

void TCfgDialog::cbPortChange() {
    const bool portChosen = cbPort->currentIndex() > 0;
    cbAlg->setEnabled(portChosen);
    seWait->setEnabled(cbAlg->isEnabled());
    LabelAlg->setEnabled(portChosen);
    LabelWait->setEnabled(portChosen);
    cbAlg->setToolTip(portChosen ? QString() : needsPortHint);
    seWait->setToolTip(portChosen ? QString() : needsPortHint);
    cbPort->setToolTip(portChosen ? portHint + u'\n' + cbPort->currentText() : portHint);
    backupRows->setPortChosen(portChosen, needsPortHint);
}

void TCfgDialog::ButtonLogoClick() {
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
    ButtonLogo->setToolTip(m_logoPath);
    Q_EMIT logoChosen(m_logoPath);
}

SettingsChoices TCfgDialog::choices() const {
    SettingsChoices c;
    c.vidResult = rbResult0->isChecked() ? 0 : 1;
    c.lockTimeSeconds = seWait->value();
    c.timerSeconds = seTimer->value();
    // With one screen there is nothing to choose: the TV screen stays the one chosen before,
    // for when the projector is switched on.
    c.screenIndex = cbMonitor->isEnabled() ? qMax(0, cbMonitor->currentIndex()) : m_screenIndex;
    c.lengthMetres = seLen->value();
    c.maxRunSeconds = seMaxRun->value();
    c.portChosen = cbPort->currentIndex() > 0;
    c.portNumber = c.portChosen ? PortListBuilder::portNumber(cbPort->currentText()) : 0;
    c.alg = qMax(0, cbAlg->currentIndex());
    backupRows->readInto(c);
    return c;
}
