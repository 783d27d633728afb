#pragma once

#include <QIcon>

// The small pictures of the command buttons, drawn in code so the program needs no image files.
class PictureGlyphs {
public:
    enum class Glyph { Open, New, Save, Print, Word, Excel, Html, Tv, BarrierBlocked, BarrierFree };

    static QIcon icon(Glyph glyph, int size = 24);
    static QPixmap pixmap(Glyph glyph, int size);
};
