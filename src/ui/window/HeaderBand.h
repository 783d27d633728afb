#pragma once

#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class ColorButton;
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
    QWidget* timePanel = nullptr;
    WordMark* wordMark = nullptr;
    QLabel* titleLabel = nullptr;
    QLineEdit* titleEdit = nullptr;

    ColorButton* countdownButton = nullptr;
    ColorButton* startButton = nullptr;
    ColorButton* intermediateButton = nullptr;
    ColorButton* stopButton = nullptr;
    ColorButton* enterButton = nullptr;
    ColorButton* resetButton = nullptr;
    QCheckBox* autoEntryBox = nullptr;
    QLabel* startBarrierPicture = nullptr;
    QLabel* intermediateBarrierPicture = nullptr;
    QLabel* stopBarrierPicture = nullptr;

    QFrame* buttonPanel = nullptr;
    QToolButton* openButton = nullptr;
    QToolButton* clearButton = nullptr;
    QToolButton* saveButton = nullptr;
    QToolButton* printButton = nullptr;
    QToolButton* wordButton = nullptr;
    QToolButton* excelButton = nullptr;
    QToolButton* webPageButton = nullptr;
    QToolButton* tvButton = nullptr;

    TitlePicture* titlePicture = nullptr;

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
