#include "ui/startlist/ImportMappingDialog.h"

#include "output/registration/ImportGuess.h"
#include "output/registration/StartListImport.h"
#include "ui/startlist/ImportClassTable.h"
#include "ui/startlist/ImportColumnTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kHeaderChoices = 10;

bool hasData(const QList<QStringList>& rows) {
    return std::any_of(rows.cbegin(), rows.cend(), [](const QStringList& row) {
        return std::any_of(row.cbegin(), row.cend(), [](const QString& c) { return !c.isEmpty(); });
    });
}

QString rowPreview(const QStringList& cells) {
    QStringList filled;
    for (const QString& cell : cells) {
        if (!cell.trimmed().isEmpty())
            filled.append(cell.simplified());
    }
    const QString text = filled.join(QStringLiteral(", "));
    return text.size() > 40 ? text.left(39) + u'…' : text;
}

} // namespace

ImportMappingDialog::ImportMappingDialog(const ImportWorkbook& workbook,
                                         const QList<QStringList>& currentRows,
                                         const ImportMemory& memory, const QString& fileName,
                                         QWidget* parent)
    : QDialog(parent), m_workbook(workbook), m_currentRows(currentRows), m_memory(memory),
      m_listHasData(hasData(currentRows)) {
    setObjectName(QStringLiteral("ImportMappingDialog"));
    setWindowTitle(QStringLiteral("Teilnehmer importieren"));
    if (m_workbook.sheets.isEmpty())
        m_workbook.sheets.append(ImportWorkbook::Sheet{});

    auto* file = new QLabel(
        QStringLiteral("<b>%1</b> – %2")
            .arg(QFileInfo(fileName).fileName().toHtmlEscaped(), m_workbook.kind.toHtmlEscaped()),
        this);
    auto* notice = new QLabel(m_workbook.notice, this);
    notice->setWordWrap(true);
    notice->setVisible(!m_workbook.notice.isEmpty());

    m_columns = new ImportColumnTable(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("ImportSummary"));
    m_summary->setWordWrap(true);
    m_report = new QTreeWidget(this);
    m_report->setObjectName(QStringLiteral("ImportReport"));
    m_report->setRootIsDecorated(false);
    m_report->setHeaderLabels({QStringLiteral("Zeile"), QStringLiteral("Hinweis")});
    m_report->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(buildOptions());
    lowerLayout->addWidget(m_summary);
    lowerLayout->addWidget(m_report, 1);
    // Preview and report share the height; on a small screen the operator moves the border.
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_columns);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_accept = buttons->addButton(QStringLiteral("Übernehmen"), QDialogButtonBox::AcceptRole);
    m_accept->setObjectName(QStringLiteral("bUebernehmen"));
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("bAbbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(notice);
    layout->addWidget(buildSourceRow());
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);

    connect(m_columns, &ImportColumnTable::fieldsChanged, this, &ImportMappingDialog::replan);
    connect(m_classes, &ImportClassTable::classesChanged, this, &ImportMappingDialog::replan);
    showSheet(0);

    if (const QScreen* screen = this->screen()) {
        const QSize room = screen->availableSize() * 9 / 10;
        resize(sizeHint().expandedTo(QSize(900, 640)).boundedTo(room));
    }
}

QWidget* ImportMappingDialog::buildSourceRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_sheetBox = new QComboBox(row);
    m_sheetBox->setObjectName(QStringLiteral("ImportSheet"));
    for (const ImportWorkbook::Sheet& sheet : std::as_const(m_workbook.sheets))
        m_sheetBox->addItem(sheet.hidden ? sheet.name + QStringLiteral(" (ausgeblendet)")
                                         : sheet.name);
    auto* sheetLabel = new QLabel(QStringLiteral("Tabellenblatt:"), row);
    sheetLabel->setBuddy(m_sheetBox);
    const bool severalSheets = m_workbook.sheets.size() > 1;
    sheetLabel->setVisible(severalSheets);
    m_sheetBox->setVisible(severalSheets);
    m_headerBox = new QComboBox(row);
    m_headerBox->setObjectName(QStringLiteral("ImportHeaderRow"));
    m_headerBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* headerLabel = new QLabel(QStringLiteral("Kopfzeile:"), row);
    headerLabel->setBuddy(m_headerBox);
    layout->addWidget(sheetLabel);
    layout->addWidget(m_sheetBox);
    layout->addSpacing(12);
    layout->addWidget(headerLabel);
    layout->addWidget(m_headerBox, 1);
    connect(m_sheetBox, &QComboBox::currentIndexChanged, this, &ImportMappingDialog::showSheet);
    connect(m_headerBox, &QComboBox::currentIndexChanged, this,
            &ImportMappingDialog::headerRowChosen);
    return row;
}

QWidget* ImportMappingDialog::buildOptions() {
    auto* options = new QWidget(this);
    auto* layout = new QHBoxLayout(options);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* classGroup = new QGroupBox(QStringLiteral("Klassen"), options);
    auto* classLayout = new QVBoxLayout(classGroup);
    m_classes = new ImportClassTable(classGroup);
    m_classHint = new QLabel(classGroup);
    m_classHint->setWordWrap(true);
    classLayout->addWidget(m_classes);
    classLayout->addWidget(m_classHint);

    auto* takeGroup = new QGroupBox(QStringLiteral("Übernahme"), options);
    auto* takeLayout = new QVBoxLayout(takeGroup);
    m_append = new QRadioButton(QStringLiteral("An die Startliste anhängen"), takeGroup);
    m_replace = new QRadioButton(QStringLiteral("Startliste ersetzen"), takeGroup);
    m_append->setObjectName(QStringLiteral("ImportAppend"));
    m_replace->setObjectName(QStringLiteral("ImportReplace"));
    auto* modes = new QButtonGroup(takeGroup);
    modes->addButton(m_append);
    modes->addButton(m_replace);
    m_skip = new QRadioButton(QStringLiteral("überspringen"), takeGroup);
    m_update = new QRadioButton(QStringLiteral("aktualisieren (Zeiten bleiben)"), takeGroup);
    m_skip->setObjectName(QStringLiteral("ImportSkip"));
    m_update->setObjectName(QStringLiteral("ImportUpdate"));
    auto* existing = new QButtonGroup(takeGroup);
    existing->addButton(m_skip);
    existing->addButton(m_update);
    auto* existingRow = new QHBoxLayout;
    existingRow->addWidget(new QLabel(QStringLiteral("Nr. schon in der Liste:"), takeGroup));
    existingRow->addWidget(m_skip);
    existingRow->addWidget(m_update);
    existingRow->addStretch();
    m_number = new QCheckBox(QStringLiteral("Fehlende Nr. vergeben ab"), takeGroup);
    m_number->setObjectName(QStringLiteral("ImportNumber"));
    m_firstNumber = new QSpinBox(takeGroup);
    m_firstNumber->setObjectName(QStringLiteral("ImportFirstNumber"));
    m_firstNumber->setRange(1, 999999);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(m_number);
    numberRow->addWidget(m_firstNumber);
    numberRow->addStretch();
    takeLayout->addWidget(m_append);
    takeLayout->addWidget(m_replace);
    takeLayout->addLayout(existingRow);
    takeLayout->addLayout(numberRow);
    takeLayout->addStretch();

    m_append->setChecked(true);
    (m_memory.existing() == ImportMapping::Existing::Update ? m_update : m_skip)->setChecked(true);
    m_number->setChecked(m_memory.numberMissing());
    m_firstNumber->setValue(StartListImport::nextFreeNumber(m_currentRows));
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(m_append), static_cast<QAbstractButton*>(m_replace),
          static_cast<QAbstractButton*>(m_skip), static_cast<QAbstractButton*>(m_update),
          static_cast<QAbstractButton*>(m_number)})
        connect(button, &QAbstractButton::toggled, this, &ImportMappingDialog::replan);
    connect(m_firstNumber, &QSpinBox::valueChanged, this, &ImportMappingDialog::replan);

    layout->addWidget(classGroup, 1);
    layout->addWidget(takeGroup, 1);
    return options;
}

void ImportMappingDialog::showSheet(int index) {
    m_mapping = ImportGuess::initialMapping(m_workbook, index, m_memory);
    const QSignalBlocker blocker(m_headerBox);
    m_headerBox->clear();
    m_headerBox->addItem(QStringLiteral("keine"));
    const int choices = static_cast<int>(qMin<qsizetype>(sheet().rows.size(), kHeaderChoices));
    for (int r = 0; r < choices; ++r) {
        const ImportWorkbook::Row& row = sheet().rows.at(r);
        m_headerBox->addItem(
            QStringLiteral("Zeile %1: %2").arg(row.line).arg(rowPreview(row.cells)));
    }
    m_headerBox->setCurrentIndex(qBound(0, m_mapping.headerRow + 1, choices));
    m_mapping.headerRow = m_headerBox->currentIndex() - 1;
    {
        const QSignalBlocker columnsBlocker(m_columns);
        m_columns->showSheet(sheet(), m_mapping.headerRow, m_mapping.columns);
    }
    replan();
}

void ImportMappingDialog::headerRowChosen() {
    m_mapping.headerRow = m_headerBox->currentIndex() - 1;
    m_mapping.columns = ImportGuess::columnFields(sheet(), m_mapping.headerRow, m_memory);
    {
        const QSignalBlocker blocker(m_columns);
        m_columns->showSheet(sheet(), m_mapping.headerRow, m_mapping.columns);
    }
    replan();
}

void ImportMappingDialog::readChoices() {
    m_mapping.columns = m_columns->fields();
    m_mapping.mode =
        m_replace->isChecked() ? ImportMapping::Mode::Replace : ImportMapping::Mode::Append;
    m_mapping.existing =
        m_update->isChecked() ? ImportMapping::Existing::Update : ImportMapping::Existing::Skip;
    m_mapping.numberMissing = m_number->isChecked();
    m_mapping.firstNumber = m_firstNumber->value();
    // A text the operator has seen in the class table keeps what the table says, "–"
    // included; texts new to the table (another class column) are guessed.
    for (const QString& key : m_classes->keys()) {
        m_mapping.classes.remove(key);
        m_seenClassTexts.insert(key);
    }
    m_mapping.classes.insert(m_classes->classes());
    const QMap<QString, QString> guessed =
        ImportGuess::completedClasses(sheet(), m_mapping, m_memory);
    for (auto it = guessed.begin(); it != guessed.end(); ++it) {
        if (!m_seenClassTexts.contains(it.key()))
            m_mapping.classes.insert(it.key(), it.value());
    }
}

void ImportMappingDialog::replan() {
    readChoices();
    const QStringList texts = ImportGuess::classTexts(sheet(), m_mapping);
    // Rebuilt only when the texts change: a class list must not vanish under the operator.
    if (texts != m_classes->texts()) {
        const QSignalBlocker blocker(m_classes);
        m_classes->showTexts(texts, m_mapping.classes);
    }
    m_classes->setVisible(!texts.isEmpty());
    if (m_mapping.columnsOf(ImportField::Kl).isEmpty())
        m_classHint->setText(QStringLiteral("Keine Spalte ist „Kl.“ zugeordnet: alle bekommen "
                                            "die Klasse 4."));
    else if (texts.isEmpty())
        m_classHint->setText(QStringLiteral("Die Klassen-Spalte enthält nur 1 bis 4; leere "
                                            "Zellen werden Klasse 4."));
    else
        m_classHint->setText(QStringLiteral("Jedem Text eine Klasse zuordnen; leere Zellen "
                                            "werden Klasse 4."));

    const bool append = m_mapping.mode == ImportMapping::Mode::Append;
    m_skip->setEnabled(append);
    m_update->setEnabled(append);
    m_firstNumber->setEnabled(m_mapping.numberMissing);

    m_plan = StartListImport::plan(m_currentRows, sheet(), m_mapping);
    QStringList summary;
    if (m_plan.blocker.isEmpty()) {
        const bool one = m_plan.added == 1;
        if (append)
            summary.append((one ? QStringLiteral("%1 Teilnehmer wird angefügt")
                                : QStringLiteral("%1 Teilnehmer werden angefügt"))
                               .arg(m_plan.added));
        else
            summary.append((one ? QStringLiteral("%1 Teilnehmer ersetzt die Startliste")
                                : QStringLiteral("%1 Teilnehmer ersetzen die Startliste"))
                               .arg(m_plan.added));
        if (m_plan.updated > 0)
            summary.append(QStringLiteral("%1 aktualisiert").arg(m_plan.updated));
        if (!m_plan.rejected.isEmpty())
            summary.append(
                (m_plan.rejected.size() == 1
                     ? QStringLiteral("%1 Zeile wird nicht übernommen (Gründe unten)")
                     : QStringLiteral("%1 Zeilen werden nicht übernommen (Gründe unten)"))
                    .arg(m_plan.rejected.size()));
        if (!append && m_listHasData)
            summary.append(QStringLiteral("die bisherige Startliste mit allen Zeiten geht "
                                          "verloren"));
    }
    // The blocker is a sentence of its own; the counts are joined into one.
    m_summary->setText(m_plan.blocker.isEmpty() ? summary.join(QStringLiteral(", ")) + u'.'
                                                : m_plan.blocker);

    m_report->clear();
    QList<QTreeWidgetItem*> items;
    for (const ImportPlan::Note& note : std::as_const(m_plan.rejected))
        items.append(new QTreeWidgetItem({QString::number(note.line), note.text}));
    for (const ImportPlan::Note& note : std::as_const(m_plan.alreadyListed))
        items.append(new QTreeWidgetItem({QString::number(note.line), note.text}));
    m_report->addTopLevelItems(items);
    m_accept->setEnabled(m_plan.changesList());
}

ImportMemory ImportMappingDialog::learnedMemory() const {
    ImportMemory memory = m_memory;
    memory.learn(sheet(), m_mapping);
    return memory;
}
