#include "ui/window/HeaderBand.h"

#include "ui/window/PictureGlyphs.h"
#include "ui/window/TitlePicture.h"
#include "ui/window/WordMark.h"
#include "widgets/CaptionFit.h"
#include "widgets/ColorButton.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr int ControlsLeft = 326;
constexpr int ButtonsLeft = 362;
constexpr int ButtonWidth = 120;
constexpr int ButtonHeight = 29;
constexpr int ButtonsTop = 76;
constexpr int ButtonStep = 31;
constexpr int PanelLeft = 490;
constexpr int ControlsRight = 708;

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* makeBarrierImage(QWidget* parent, const char* name, const QString& hint, int top) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(ControlsLeft, top, 30, 30);
    image->setPixmap(PictureGlyphs::pixmap(PictureGlyphs::Glyph::BarrierBlocked, 30));
    image->setToolTip(hint);
    image->setCursor(Qt::PointingHandCursor);
    image->hide();
    return image;
}

} // namespace

HeaderBand::HeaderBand(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("HeaderBand"));
    setFixedHeight(BandHeight);
    paintBackground(this, QColor(BandColour));

    timePanel = new QWidget(this);
    timePanel->setObjectName(QStringLiteral("TimePanel"));
    timePanel->setGeometry(0, 0, 320, BandHeight);
    paintBackground(timePanel, Qt::black);

    titlePicture = new TitlePicture(this);
    titlePicture->setObjectName(QStringLiteral("ImageTitle"));

    buildTitleRow();
    buildTimingButtons();
    buildPictureButtons();
}

void HeaderBand::buildTitleRow() {
    wordMark = new WordMark(this);
    wordMark->setObjectName(QStringLiteral("LabelQuarnek"));
    wordMark->move(ControlsLeft, 4);

    titleLabel = new QLabel(QStringLiteral("Titel:"), this);
    titleLabel->setObjectName(QStringLiteral("LabelTitel"));
    QPalette labelPalette = titleLabel->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    titleLabel->setPalette(labelPalette);
    QFont labelFont = titleLabel->font();
    labelFont.setBold(true);
    const int labelWidth = ButtonsLeft - ControlsLeft;
    titleLabel->setFont(CaptionFit::font(labelFont, titleLabel->text(), labelWidth));
    titleLabel->setGeometry(ControlsLeft, 44, labelWidth, 26);

    titleEdit = new QLineEdit(QStringLiteral("Deutsche Meisterschaften im Velmora 2009"), this);
    titleEdit->setObjectName(QStringLiteral("eZeile"));
    QPalette fieldPalette = titleEdit->palette();
    fieldPalette.setColor(QPalette::Base, QColor(FieldColour));
    titleEdit->setPalette(fieldPalette);
    titleEdit->setGeometry(ButtonsLeft, 44, 345, 26);
    fitTitle();
    connect(titleEdit, &QLineEdit::textChanged, this, &HeaderBand::fitTitle);
}

QFont HeaderBand::titleFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    return font;
}

void HeaderBand::fitTitle() {
    // A title that does not fit scrolls its start out of sight; the font gives way first, down
    // to three quarters of its size. The field keeps two pixels inside its frame and one for
    // the cursor.
    const int frame =
        titleEdit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, titleEdit);
    const int room = titleEdit->width() - 2 * (frame + 2) - 1;
    titleEdit->setFont(CaptionFit::font(titleFont(), titleEdit->text(), room, 0.75));
}

void HeaderBand::buildTimingButtons() {
    auto makeButton = [this](const char* name, const QString& caption, const QString& hint,
                             const QRect& geometry) {
        auto* button = new ColorButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(hint);
        button->setGeometry(geometry);
        button->setEnabled(false);
        return button;
    };
    const auto row = [](int index) {
        return ButtonsTop + index * ButtonStep;
    };
    countdownButton = makeButton("bTimer", QStringLiteral("TIMER"), QStringLiteral("F4"),
                                 QRect(ButtonsLeft, row(0), ButtonWidth, ButtonHeight));
    startButton = makeButton("bSTART", QStringLiteral("START"), QStringLiteral("F5"),
                             QRect(ButtonsLeft, row(1), ButtonWidth, ButtonHeight));
    intermediateButton = makeButton("bLAP", QStringLiteral("Zwischen"), QStringLiteral("F6"),
                                    QRect(ButtonsLeft, row(2), ButtonWidth, ButtonHeight));
    stopButton = makeButton("bSTOP", QStringLiteral("STOPP"), QStringLiteral("F8"),
                            QRect(ButtonsLeft, row(3), ButtonWidth, ButtonHeight));
    enterButton = makeButton("bEintragen", QStringLiteral("Eintragen"), QStringLiteral("F9"),
                             QRect(PanelLeft, row(3), 104, ButtonHeight));
    resetButton = makeButton("bRESET", QStringLiteral("00:00"), QStringLiteral("F10"),
                             QRect(ControlsRight - 86, row(3), 86, ButtonHeight));

    autoEntryBox = new QCheckBox(this);
    autoEntryBox->setObjectName(QStringLiteral("cbAutomatisch"));
    autoEntryBox->setToolTip(QStringLiteral("Automatische Eintragung in 5 Sekunden"));
    autoEntryBox->setChecked(true);
    autoEntryBox->setGeometry(PanelLeft + 108, row(3) + 5, 18, 20);

    startBarrierPicture =
        makeBarrierImage(this, "ImageLSstart", QStringLiteral("Blockieren LS START (F11)"), row(1));
    intermediateBarrierPicture =
        makeBarrierImage(this, "ImageLSlap", QStringLiteral("Blockieren LS Zwischen"), row(2));
    stopBarrierPicture =
        makeBarrierImage(this, "ImageLSstop", QStringLiteral("Blockieren LS STOPP (F12)"), row(3));
}

void HeaderBand::buildPictureButtons() {
    buttonPanel = new QFrame(this);
    buttonPanel->setObjectName(QStringLiteral("PanelButtons"));
    buttonPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    buttonPanel->setLineWidth(1);
    buttonPanel->setGeometry(PanelLeft, ButtonsTop, 166, 87);
    paintBackground(buttonPanel, QColor(FieldColour));

    using Glyph = PictureGlyphs::Glyph;
    auto makeButton = [this](const char* name, Glyph glyph, const QString& hint, int column,
                             int line) {
        auto* button = new QToolButton(buttonPanel);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(PictureGlyphs::icon(glyph, 24));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setToolTip(hint);
        button->setGeometry(5 + column * 39, 5 + line * 40, 36, 36);
        button->setEnabled(false);
        return button;
    };
    openButton = makeButton("sbLoad", Glyph::Open, QStringLiteral("Protokoll öffnen"), 0, 0);
    clearButton = makeButton("sbCLS", Glyph::New, QStringLiteral("Neu [Ctrl+N]"), 1, 0);
    saveButton =
        makeButton("sbSave", Glyph::Save, QStringLiteral("Speichern als .. [Ctrl+S]"), 2, 0);
    printButton =
        makeButton("sbPrint", Glyph::Print, QStringLiteral("Protokoll drucken [Ctrl+D]"), 3, 0);
    wordButton =
        makeButton("sbWord", Glyph::Word, QStringLiteral("Export in MS Word [Ctrl+W]"), 0, 1);
    excelButton = makeButton("sbExcel", Glyph::Excel, QString(), 1, 1);
    webPageButton =
        makeButton("sbHTML", Glyph::Html, QStringLiteral("Als Webseite [Ctrl+H]"), 2, 1);
    tvButton = makeButton("bMon2", Glyph::Tv, QStringLiteral("TV-Modus [Ctrl+0..4]"), 3, 1);
    openButton->setEnabled(true);
}

QRect HeaderBand::titlePictureArea(int bandWidth) {
    return QRect(ControlsRight + 4, 0, qMax(0, bandWidth - ControlsRight - 4), BandHeight);
}

void HeaderBand::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    titlePicture->setGeometry(titlePictureArea(width()));
}
