#include "ui/startlist/ImportClassTable.h"

#include "output/registration/ImportMapping.h"

#include <QComboBox>
#include <QHeaderView>

ImportClassTable::ImportClassTable(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("ImportClasses"));
    setColumnCount(2);
    setHorizontalHeaderLabels({QStringLiteral("Text in der Datei"), QStringLiteral("Kl.")});
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
}

void ImportClassTable::showTexts(const QStringList& texts, const QMap<QString, QString>& classes) {
    m_texts = texts;
    setRowCount(static_cast<int>(texts.size()));
    for (int row = 0; row < texts.size(); ++row) {
        setItem(row, 0, new QTableWidgetItem(texts.at(row)));
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("Class%1").arg(row));
        box->addItems({QStringLiteral("–"), "1", "2", "3", "4"});
        const QString chosen = classes.value(ImportMapping::classKey(texts.at(row)));
        box->setCurrentIndex(qMax(0, box->findText(chosen)));
        connect(box, &QComboBox::currentIndexChanged, this, &ImportClassTable::classesChanged);
        setCellWidget(row, 1, box);
    }
    resizeRowsToContents();
}

QMap<QString, QString> ImportClassTable::classes() const {
    QMap<QString, QString> result;
    for (int row = 0; row < m_texts.size(); ++row) {
        if (classBox(row)->currentIndex() > 0)
            result.insert(ImportMapping::classKey(m_texts.at(row)), classBox(row)->currentText());
    }
    return result;
}

QStringList ImportClassTable::keys() const {
    QStringList result;
    for (const QString& text : m_texts)
        result.append(ImportMapping::classKey(text));
    return result;
}

QComboBox* ImportClassTable::classBox(int row) const {
    return qobject_cast<QComboBox*>(cellWidget(row, 1));
}
