#pragma once

#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class TBitBtnWithColor;
class TitlePicture;
class WordMark;

// The dark blue band across the top of the main window: the time panel, the word mark, the
// event title, the timing buttons with the barrier pictures, the command picture buttons and
// the optional title picture. Its parts are named like the window's components.
class HeaderBand : public QWidget {
    Q_OBJECT
public:
    static constexpr int BandHeight = 202;
    static constexpr QRgb BandColour = 0x345381;
    static constexpr QRgb FieldColour = 0xACCBE0;

    explicit HeaderBand(QWidget* parent = nullptr);

    // The black area that carries the seven-segment time display.
    QWidget* TimePanel = nullptr;
    WordMark* wordMark = nullptr;
    QLabel* LabelTitel = nullptr;
    QLineEdit* eZeile = nullptr;

    TBitBtnWithColor* bTimer = nullptr;
    TBitBtnWithColor* bSTART = nullptr;
    TBitBtnWithColor* bLAP = nullptr;
    TBitBtnWithColor* bSTOP = nullptr;
    TBitBtnWithColor* bEintragen = nullptr;
    TBitBtnWithColor* bRESET = nullptr;
    QCheckBox* cbAutomatisch = nullptr;
    QLabel* ImageLSstart = nullptr;
    QLabel* ImageLSlap = nullptr;
    QLabel* ImageLSstop = nullptr;

    QFrame* PanelButtons = nullptr;
    QToolButton* sbLoad = nullptr;
    QToolButton* sbCLS = nullptr;
    QToolButton* sbSave = nullptr;
    QToolButton* sbPrint = nullptr;
    QToolButton* sbWord = nullptr;
    QToolButton* sbExcel = nullptr;
    QToolButton* sbHTML = nullptr;
    QToolButton* bMon2 = nullptr;

    TitlePicture* ImageTitle = nullptr;

    // Where the title picture may spread: right of the controls, across the band's height.
    static QRect titlePictureArea(int bandWidth);
    // The title field's font as designed, before a long title or a wider font shrinks it.
    static QFont titleFont();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildTitleRow();
    void buildTimingButtons();
    void buildPictureButtons();
    void fitTitle();
};
