#pragma once

#include <QString>

// What the audience sees besides the tables: the event title and the current competitor with
// the club.
struct AudienceText {
    QString title;
    QString competitor;
    QString club;
};
