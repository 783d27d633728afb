#pragma once

#include <QString>

// Text as an office document may carry it: characters that XML 1.0 does not allow (control
// characters, the non-characters U+FFFE and U+FFFF, unpaired surrogates) would make the whole
// document unreadable for the office program, so they become blanks; so do tab and line
// breaks, which a table cell cannot show.
namespace XmlText {

QString clean(const QString& text);

// &, <, >, " escaped, for text built into XML by hand.
QString escape(const QString& text);

} // namespace XmlText
