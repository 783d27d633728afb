#include "output/registration/ImportMapping.h"

QList<int> ImportMapping::columnsOf(ImportField wanted) const {
    QList<int> result;
    for (int column = 0; column < columns.size(); ++column) {
        if (columns.at(column) == wanted)
            result.append(column);
    }
    return result;
}

QString ImportMapping::classKey(const QString& text) {
    return text.simplified().toLower();
}
