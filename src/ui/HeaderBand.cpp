#include "ui/HeaderBand.h"

#include "ui/PictureGlyphs.h"
#include "ui/TitlePicture.h"
#include "ui/WordMark.h"
#include "widgets/CaptionFit.h"
#include "widgets/TBitBtnWithColor.h"

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

    TimePanel = new QWidget(this);
    TimePanel->setObjectName(QStringLiteral("TimePanel"));
    TimePanel->setGeometry(0, 0, 320, BandHeight);
    paintBackground(TimePanel, Qt::black);

    ImageTitle = new TitlePicture(this);
    ImageTitle->setObjectName(QStringLiteral("ImageTitle"));

    buildTitleRow();
    buildTimingButtons();
    buildPictureButtons();
}

void HeaderBand::buildTitleRow() {
    wordMark = new WordMark(this);
    wordMark->setObjectName(QStringLiteral("LabelQuarnek"));
    wordMark->move(ControlsLeft, 4);

    LabelTitel = new QLabel(QStringLiteral("Titel:"), this);
    LabelTitel->setObjectName(QStringLiteral("LabelTitel"));
    QPalette labelPalette = LabelTitel->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    LabelTitel->setPalette(labelPalette);
    QFont labelFont = LabelTitel->font();
    labelFont.setBold(true);
    const int labelWidth = ButtonsLeft - ControlsLeft;
    LabelTitel->setFont(CaptionFit::font(labelFont, LabelTitel->text(), labelWidth));
    LabelTitel->setGeometry(ControlsLeft, 44, labelWidth, 26);

    eZeile = new QLineEdit(QStringLiteral("Deutsche Meisterschaften im Velmora 2009"), this);
    eZeile->setObjectName(QStringLiteral("eZeile"));
    QPalette fieldPalette = eZeile->palette();
    fieldPalette.setColor(QPalette::Base, QColor(FieldColour));
    eZeile->setPalette(fieldPalette);
    eZeile->setGeometry(ButtonsLeft, 44, 345, 26);
    fitTitle();
    connect(eZeile, &QLineEdit::textChanged, this, &HeaderBand::fitTitle);
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
    const int frame = eZeile->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, eZeile);
    const int room = eZeile->width() - 2 * (frame + 2) - 1;
    eZeile->setFont(CaptionFit::font(titleFont(), eZeile->text(), room, 0.75));
}

void HeaderBand::buildTimingButtons() {
    auto makeButton = [this](const char* name, const QString& caption, const QString& hint,
                             const QRect& geometry) {
        auto* button = new TBitBtnWithColor(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(hint);
        button->setGeometry(geometry);
        button->setEnabled(false);
        return button;
    };
    const auto row = [](int index) {
        return ButtonsTop + index * ButtonStep;
    };
    bTimer = makeButton("bTimer", QStringLiteral("TIMER"), QStringLiteral("F4"),
                        QRect(ButtonsLeft, row(0), ButtonWidth, ButtonHeight));
    bSTART = makeButton("bSTART", QStringLiteral("START"), QStringLiteral("F5"),
                        QRect(ButtonsLeft, row(1), ButtonWidth, ButtonHeight));
    bLAP = makeButton("bLAP", QStringLiteral("Zwischen"), QStringLiteral("F6"),
                      QRect(ButtonsLeft, row(2), ButtonWidth, ButtonHeight));
    bSTOP = makeButton("bSTOP", QStringLiteral("STOPP"), QStringLiteral("F8"),
                       QRect(ButtonsLeft, row(3), ButtonWidth, ButtonHeight));
    bEintragen = makeButton("bEintragen", QStringLiteral("Eintragen"), QStringLiteral("F9"),
                            QRect(PanelLeft, row(3), 104, ButtonHeight));
    bRESET = makeButton("bRESET", QStringLiteral("00:00"), QStringLiteral("F10"),
                        QRect(ControlsRight - 86, row(3), 86, ButtonHeight));

    cbAutomatisch = new QCheckBox(this);
    cbAutomatisch->setObjectName(QStringLiteral("cbAutomatisch"));
    cbAutomatisch->setToolTip(QStringLiteral("Automatische Eintragung in 5 Sekunden"));
    cbAutomatisch->setChecked(true);
    cbAutomatisch->setGeometry(PanelLeft + 108, row(3) + 5, 18, 20);

    ImageLSstart =
        makeBarrierImage(this, "ImageLSstart", QStringLiteral("Blockieren LS START (F11)"), row(1));
    ImageLSlap =
        makeBarrierImage(this, "ImageLSlap", QStringLiteral("Blockieren LS Zwischen"), row(2));
    ImageLSstop =
        makeBarrierImage(this, "ImageLSstop", QStringLiteral("Blockieren LS STOPP (F12)"), row(3));
}

void HeaderBand::buildPictureButtons() {
    PanelButtons = new QFrame(this);
    PanelButtons->setObjectName(QStringLiteral("PanelButtons"));
    PanelButtons->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelButtons->setLineWidth(1);
    PanelButtons->setGeometry(PanelLeft, ButtonsTop, 166, 87);
    paintBackground(PanelButtons, QColor(FieldColour));

    using Glyph = PictureGlyphs::Glyph;
    auto makeButton = [this](const char* name, Glyph glyph, const QString& hint, int column,
                             int line) {
        auto* button = new QToolButton(PanelButtons);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(PictureGlyphs::icon(glyph, 24));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setToolTip(hint);
        button->setGeometry(5 + column * 39, 5 + line * 40, 36, 36);
        button->setEnabled(false);
        return button;
    };
    sbLoad = makeButton("sbLoad", Glyph::Open, QStringLiteral("Protokoll öffnen"), 0, 0);
    sbCLS = makeButton("sbCLS", Glyph::New, QStringLiteral("Neu [Ctrl+N]"), 1, 0);
    sbSave = makeButton("sbSave", Glyph::Save, QStringLiteral("Speichern als .. [Ctrl+S]"), 2, 0);
    sbPrint =
        makeButton("sbPrint", Glyph::Print, QStringLiteral("Protokoll drucken [Ctrl+D]"), 3, 0);
    sbWord = makeButton("sbWord", Glyph::Word, QStringLiteral("Export in MS Word [Ctrl+W]"), 0, 1);
    sbExcel = makeButton("sbExcel", Glyph::Excel, QString(), 1, 1);
    sbHTML = makeButton("sbHTML", Glyph::Html, QStringLiteral("Als Webseite [Ctrl+H]"), 2, 1);
    bMon2 = makeButton("bMon2", Glyph::Tv, QStringLiteral("TV-Modus [Ctrl+0..4]"), 3, 1);
    sbLoad->setEnabled(true);
}

QRect HeaderBand::titlePictureArea(int bandWidth) {
    return QRect(ControlsRight + 4, 0, qMax(0, bandWidth - ControlsRight - 4), BandHeight);
}

void HeaderBand::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ImageTitle->setGeometry(titlePictureArea(width()));
}
