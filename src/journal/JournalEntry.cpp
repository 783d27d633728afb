#include "journal/JournalEntry.h"

#include <array>
#include <utility>

namespace {

using Kind = JournalEntry::Kind;

const std::array<std::pair<Kind, const char16_t*>, 8> KindTexts{{
    {Kind::ProgramStart, u"Programmstart"},
    {Kind::ProgramEnd, u"Programmende"},
    {Kind::LineChange, u"Leitung"},
    {Kind::Command, u"Befehl"},
    {Kind::Cell, u"Zelle"},
    {Kind::RowAdded, u"Zeile neu"},
    {Kind::RowRemoved, u"Zeile entfernt"},
    {Kind::Note, u"Hinweis"},
}};

} // namespace

QString JournalEntry::kindText(Kind kind) {
    for (const auto& [k, text] : KindTexts)
        if (k == kind)
            return QString::fromUtf16(text);
    return QString();
}

std::optional<JournalEntry::Kind> JournalEntry::kindFromText(const QString& text) {
    for (const auto& [k, name] : KindTexts)
        if (text == QString::fromUtf16(name))
            return k;
    return std::nullopt;
}
