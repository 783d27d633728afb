#include "widgets/FileDialogs.h"

#include <QFileInfo>

QString FileDialogs::filterSuffix(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QStringLiteral("(*."));
    const qsizetype close = filter.indexOf(u')', open);
    if (open < 0 || close < 0)
        return QString();
    const QString suffix = filter.mid(open + 3, close - open - 3);
    if (suffix.isEmpty() || suffix.contains(u'*') || suffix.contains(u' '))
        return QString();
    return suffix;
}

QString FileDialogs::withSuffix(const QString& fileName, const Request& request, int filterIndex) {
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    QString suffix;
    if (filterIndex >= 1 && filterIndex <= request.filters.size())
        suffix = filterSuffix(request.filters.at(filterIndex - 1));
    if (suffix.isEmpty())
        suffix = request.defaultSuffix;
    return suffix.isEmpty() ? fileName : fileName + u'.' + suffix;
}
