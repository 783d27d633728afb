#pragma once

#include <QMap>
#include <QStringList>
#include <QTableWidget>

// The small table in which the operator says which class each class text of the file means
// ("Damen" -> 2); a text left at "–" names no class, and its rows are not taken.
class ImportClassTable : public QTableWidget {
    Q_OBJECT
public:
    explicit ImportClassTable(QWidget* parent = nullptr);

    // texts as the file writes them; classes keyed by ImportMapping::classKey.
    void showTexts(const QStringList& texts, const QMap<QString, QString>& classes);
    QMap<QString, QString> classes() const;
    const QStringList& texts() const { return m_texts; }
    // The keys (ImportMapping::classKey) of the texts shown.
    QStringList keys() const;
    class QComboBox* classBox(int row) const;

Q_SIGNALS:
    void classesChanged();

private:
    QStringList m_texts;
};
