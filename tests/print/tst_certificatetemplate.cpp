#include "print/CertificatePage.h"
#include "print/CertificateTemplate.h"
#include "print/CertificateTemplateFinder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

// Certificate designs: placeholders in their texts, texts that vanish or shrink, the page
// they are drawn for, and where the program finds them.
class TstCertificateTemplate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filledTexts_data();
    void filledTexts();
    void longTextShrinksIntoItsBox_data();
    void longTextShrinksIntoItsBox();
    void boxesAreNeverPrinted();
    void textBoxesWrapAndShrink_data();
    void textBoxesWrapAndShrink();
    void oversizedDesignsAreRefused_data();
    void oversizedDesignsAreRefused();
    void unusableDesignsSayWhy_data();
    void unusableDesignsSayWhy();
    void pageSize_data();
    void pageSize();
    void shippedDesignsLoad_data();
    void shippedDesignsLoad();
    void ownDesignsComeFirst();
};

namespace {

QByteArray drawing(const QByteArray& body,
                   const QByteArray& size = "width=\"210mm\" height=\"297mm\"") {
    return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" " +
           size + " viewBox=\"0 0 210 297\">" + body + "</svg>";
}

CertificateFields::Values person() {
    return {{"Vorname", "Anna"},
            {"Name", "<Weber> & Söhne"},
            {"Klasse", "2"},
            {"Zeit", "12,00"},
            {"Team", ""}};
}

} // namespace

void TstCertificateTemplate::filledTexts_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("escaped characters come out as they are")
        << QByteArray("<text x='5' y='20'>{Vorname} {Name}</text>")
        << QStringList{"Anna <Weber> & Söhne"};
    QTest::newRow("lines of a drawing program, each its own")
        << QByteArray("<text xml:space='preserve' x='5' y='20'><tspan sodipodi:role='line' x='5' "
                      "y='20'>Klasse {Klasse}</tspan><tspan sodipodi:role='line' x='5' "
                      "y='30'>Zeit: <tspan style='font-weight:bold'>{Zeit}</tspan></tspan></text>")
        << QStringList{"Klasse 2", "Zeit: 12,00"};
    QTest::newRow("all placeholders empty: left out")
        << QByteArray("<text x='5' y='20'>Mannschaft {Team}</text><text y='40'>fest</text>")
        << QStringList{"fest"};
    QTest::newRow("one placeholder empty: kept")
        << QByteArray("<text x='5' y='20'>{Team} {Vorname}</text>") << QStringList{"Anna"};
    QTest::newRow("white space as SVG has it")
        << QByteArray("<text x='5' y='20'>  Zeit:\n\t   {Zeit}  </text>")
        << QStringList{"Zeit: 12,00"};
    QTest::newRow("unknown names stay")
        << QByteArray("<text>{Foo} {name}</text>") << QStringList{"{Foo} {name}"};
    QTest::newRow("definitions are not printed")
        << QByteArray("<defs><text id='d'>{Name}</text></defs><text>{Klasse}</text>")
        << QStringList{"2"};
    QTest::newRow("hidden texts are not printed")
        << QByteArray("<g style='display:none'><text>{Name}</text></g><text>{Klasse}</text>")
        << QStringList{"2"};
}

void TstCertificateTemplate::filledTexts() {
    QFETCH(QByteArray, body);
    QFETCH(QStringList, expected);
    const auto design = CertificateTemplate::fromData(drawing(body));
    QVERIFY2(design.isValid(), qPrintable(design.error()));
    QCOMPARE(design.lines(person()), expected);
    if (expected == QStringList{"Anna <Weber> & Söhne"}) {
        // A value that looks like a placeholder is printed as it is, not filled again.
        auto values = person();
        values.insert("Vorname", "{Name}");
        QCOMPARE(design.lines(values), QStringList{"{Name} <Weber> & Söhne"});
    }
}

void TstCertificateTemplate::longTextShrinksIntoItsBox_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("textGroup");
    QTest::addColumn<QByteArray>("boxGroup");
    QTest::addColumn<bool>("shrunk");
    const QString longName = "Maximiliane-Alexandra von und zu Hohenzollern-Sigmaringen";
    QTest::newRow("short") << "Anna" << QByteArray() << QByteArray() << false;
    QTest::newRow("long") << longName << QByteArray() << QByteArray() << true;
    QTest::newRow("long, text moved and scaled")
        << longName << QByteArray("translate(4,7) scale(0.5)") << QByteArray() << true;
    QTest::newRow("long, box in another group")
        << longName << QByteArray() << QByteArray("translate(-10,3)") << true;
}

void TstCertificateTemplate::longTextShrinksIntoItsBox() {
    QFETCH(QString, name);
    QFETCH(QByteArray, textGroup);
    QFETCH(QByteArray, boxGroup);
    QFETCH(bool, shrunk);
    const QByteArray body =
        "<g transform='" + boxGroup +
        "'><rect id='feld-n' x='60' y='40' width='90' height='14' "
        "style='fill:none;stroke:#f00;stroke-width:3'/></g><g transform='" +
        textGroup +
        "'><text id='n' x='105' y='50' text-anchor='middle' font-size='12'>{Name}</text></g>";
    const auto design = CertificateTemplate::fromData(drawing(body));
    QVERIFY2(design.isValid(), qPrintable(design.error()));
    const CertificateText& text = design.texts().at(0);
    QVERIFY(text.box());
    const auto layout = text.layout({{"Name", name}});
    const QTransform fit = text.fitting(layout);
    QCOMPARE(!fit.isIdentity(), shrunk);
    // Where the text lands in the drawing, against its box there.
    const QTransform toDrawing =
        QTransform::fromTranslate(0, 0) *
        (textGroup.isEmpty() ? QTransform() : QTransform(0.5, 0, 0, 0.5, 4, 7));
    const QRectF placed = (fit * toDrawing).mapRect(layout.bounds);
    const QRectF box = *text.box();
    QCOMPARE(box, boxGroup.isEmpty() ? QRectF(60, 40, 90, 14) : QRectF(50, 43, 90, 14));
    if (shrunk) {
        QVERIFY2(qAbs(placed.left() - box.left()) < 0.01,
                 qPrintable(QString::number(placed.left())));
        QVERIFY2(qAbs(placed.width() - box.width()) < 0.01,
                 qPrintable(QString::number(placed.width())));
    } else {
        QVERIFY(placed.width() < box.width());
    }
}

void TstCertificateTemplate::boxesAreNeverPrinted() {
    const auto design = CertificateTemplate::fromData(
        drawing("<rect id='feld-n' x='10' y='10' width='190' height='270' "
                "style='fill:#ff0000;stroke:#ff0000;stroke-width:4'/><text id='n' x='20' y='40' "
                "font-size='30' fill='#0000ff'>{Name}</text>"));
    QImage image(210, 297, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        CertificatePage(design).paint(painter, image.rect(), {{"Name", "Weber"}});
    }
    bool red = false;
    bool blue = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red = red || (c.red() > 200 && c.green() < 80 && c.blue() < 80);
            blue = blue || (c.blue() > 200 && c.red() < 80 && c.green() < 80);
        }
    }
    QVERIFY(!red);
    QVERIFY(blue);
}

void TstCertificateTemplate::unusableDesignsSayWhy_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not XML") << QByteArray("<svg><text>") << "keine gültige SVG-Datei";
    QTest::newRow("not a drawing") << QByteArray("<html><body/></html>") << "keine SVG-Zeichnung";
    QTest::newRow("empty") << QByteArray() << "keine";
    QTest::newRow("no size at all")
        << QByteArray("<svg xmlns='http://www.w3.org/2000/svg'><rect width='9' height='9'/></svg>")
        << "fehlen Breite und Höhe";
}

void TstCertificateTemplate::unusableDesignsSayWhy() {
    QFETCH(QByteArray, data);
    QFETCH(QString, reason);
    const auto design = CertificateTemplate::fromData(data, "Urkunde-Kaputt");
    QVERIFY(!design.isValid());
    QVERIFY2(design.error().contains(reason), qPrintable(design.error()));
    QVERIFY(design.error().contains("Urkunde-Kaputt"));
    const auto missing = CertificateTemplate::fromFile("/nonexistent/Urkunde-Weg.svg");
    QVERIFY(!missing.isValid());
    QVERIFY(missing.error().contains("kann nicht gelesen werden"));
}

void TstCertificateTemplate::pageSize_data() {
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QByteArray>("viewBox");
    QTest::addColumn<QSizeF>("millimetres");
    QTest::newRow("A4 in mm") << QByteArray("width='210mm' height='297mm'")
                              << QByteArray("0 0 210 297") << QSizeF(210, 297);
    QTest::newRow("letter in inches") << QByteArray("width='8.5in' height='11in'")
                                      << QByteArray("0 0 85 110") << QSizeF(215.9, 279.4);
    QTest::newRow("no unit, landscape: A4 turned")
        << QByteArray() << QByteArray("0 0 400 200") << QSizeF(297, 210);
}

void TstCertificateTemplate::pageSize() {
    QFETCH(QByteArray, size);
    QFETCH(QByteArray, viewBox);
    QFETCH(QSizeF, millimetres);
    const auto design = CertificateTemplate::fromData("<svg xmlns='http://www.w3.org/2000/svg' " +
                                                      size + " viewBox='" + viewBox +
                                                      "'><rect width='10' height='10'/></svg>");
    QVERIFY2(design.isValid(), qPrintable(design.error()));
    QVERIFY(qAbs(design.pageSizeMm().width() - millimetres.width()) < 0.01);
    QVERIFY(qAbs(design.pageSizeMm().height() - millimetres.height()) < 0.01);
}

void TstCertificateTemplate::textBoxesWrapAndShrink_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minLines");
    QTest::addColumn<bool>("shrunk");
    // A region of 100 x 70 at (20, 30) in the text's coordinates, whatever holds it.
    const QByteArray flowRoot =
        "<flowRoot id='t' transform='translate(5,7)' style='font-size:10px;line-height:1.25;"
        "text-align:center'><flowRegion><rect x='20' y='30' width='100' height='70'/>"
        "</flowRegion><flowPara>{Vorname} {Name}</flowPara><flowPara>Zeit: {Zeit}</flowPara>"
        "</flowRoot>";
    const QByteArray shapeInDefs =
        "<defs><rect id='r' x='20' y='30' width='100' height='70'/></defs>"
        "<text id='t' xml:space='preserve' style='font-size:10px;shape-inside:url(#r);"
        "white-space:pre'><tspan x='20' y='38'>{Vorname} {Name}\nZeit: {Zeit}</tspan></text>";
    const QByteArray shapeInDrawing =
        "<rect id='r' x='20' y='30' width='100' height='70'/>"
        "<text id='t' style='font-size:10px;shape-inside:url(#r)'><tspan sodipodi:role='line' "
        "x='20' y='38'>{Vorname} {Name}</tspan><tspan sodipodi:role='line' x='20' "
        "y='50'>Zeit: {Zeit}</tspan></text>";
    const QString longName = "Maria Theresia von und zu Hohenzollern Sigmaringen";
    const QString endless = QString("Weber ").repeated(60).trimmed();
    for (const auto& [label, body] : {std::pair{"flowRoot", flowRoot},
                                      std::pair{"shape-inside, rectangle in defs", shapeInDefs},
                                      std::pair{"shape-inside, rectangle drawn", shapeInDrawing}}) {
        QTest::addRow("%s, short", label) << body << "Ida" << 2 << false;
        QTest::addRow("%s, long", label) << body << longName << 3 << false;
        QTest::addRow("%s, far too long", label) << body << endless << 4 << true;
    }
}

void TstCertificateTemplate::textBoxesWrapAndShrink() {
    QFETCH(QByteArray, body);
    QFETCH(QString, name);
    QFETCH(int, minLines);
    QFETCH(bool, shrunk);
    const auto design = CertificateTemplate::fromData(drawing(body));
    QVERIFY2(design.isValid(), qPrintable(design.error()));
    QCOMPARE(design.texts().size(), 1);
    const CertificateText& text = design.texts().at(0);
    QCOMPARE(text.box(), QRectF(20, 30, 100, 70));
    const CertificateFields::Values values{{"Vorname", "Anna"}, {"Name", name}, {"Zeit", "1 s"}};
    QCOMPARE(design.lines(values), QStringList({"Anna " + name, "Zeit: 1 s"}));
    const auto layout = text.layout(values);
    QSet<double> baselines;
    for (const auto& piece : layout.pieces) {
        baselines.insert(piece.origin.y());
        QVERIFY(piece.style.size <= 10.0001);
        QCOMPARE(piece.style.size < 9.999, shrunk);
    }
    QVERIFY2(baselines.size() >= minLines, qPrintable(QString::number(baselines.size())));
    QVERIFY2(text.box()->adjusted(-0.01, -0.01, 0.01, 0.01).contains(layout.bounds),
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(layout.bounds.x())
                            .arg(layout.bounds.y())
                            .arg(layout.bounds.width())
                            .arg(layout.bounds.height())));
    // The region's rectangle is only a measure: nothing of it is painted.
    QImage image(210, 297, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        CertificatePage(design).paint(painter, image.rect(), {});
    }
    QCOMPARE(image.pixelColor(70, 45), QColor(Qt::white));
}

void TstCertificateTemplate::oversizedDesignsAreRefused_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nested too deep")
        << QByteArray("<g>").repeated(200000) + QByteArray("</g>").repeated(200000)
        << "tiefer als 64 Ebenen";
    QTest::newRow("too many elements")
        << QByteArray("<path d='M0 0h1'/>").repeated(100000) << "mehr als 20000 Elemente";
    QTest::newRow("too many texts")
        << QByteArray("<text x='1' y='1'>{Name}</text>").repeated(5000) << "mehr als 500 Texte";
}

void TstCertificateTemplate::oversizedDesignsAreRefused() {
    QFETCH(QByteArray, body);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("Urkunde-Sieger.svg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(drawing(body));
    file.close();
    QElapsedTimer clock;
    clock.start();
    const auto design = CertificateTemplate::fromFile(path);
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(!design.isValid());
    QVERIFY2(design.error().contains("Urkunde-Sieger.svg") && design.error().contains(reason),
             qPrintable(design.error()));
    // A file larger than the limit is not read at all, however large it claims to be.
    QVERIFY(file.resize(10LL * 1024 * 1024 * 1024));
    clock.restart();
    const auto huge = CertificateTemplate::fromFile(path);
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY2(huge.error().contains("Urkunde-Sieger.svg") &&
                 huge.error().contains("Datei ist größer als 5 MB"),
             qPrintable(huge.error()));
    const auto folder = CertificateTemplate::fromFile(dir.path());
    QVERIFY2(folder.error().contains("keine gewöhnliche Datei"), qPrintable(folder.error()));
}

void TstCertificateTemplate::shippedDesignsLoad_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("starter") << "Urkunde-Teilnahme.svg";
    QTest::newRow("podium") << "Urkunde-Podest.svg";
}

void TstCertificateTemplate::shippedDesignsLoad() {
    QFETCH(QString, file);
    const auto design =
        CertificateTemplate::fromFile(QStringLiteral(VELMORA_SOURCE_DIR "/data/") + file);
    QVERIFY2(design.isValid(), qPrintable(design.error()));
    QCOMPARE(design.pageSizeMm(), QSizeF(210, 297));
    // Every text with a name or a title to fill has a box to shrink into.
    for (const CertificateText& text : design.texts()) {
        const QStringList names = text.placeholders();
        if (names.contains("Name") || names.contains("Team") || names.contains("Titel"))
            QVERIFY2(text.box(), qPrintable(text.id()));
    }
}

void TstCertificateTemplate::ownDesignsComeFirst() {
    QTemporaryDir root;
    const QString own = root.filePath("own");
    const QString shipped = root.filePath("shipped");
    QDir().mkpath(own);
    QDir().mkpath(shipped);
    const auto touch = [](const QString& path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    };
    touch(own + "/Urkunde-Podest.svg");
    touch(own + "/Logo.svg");
    touch(shipped + "/Urkunde-Podest.svg");
    touch(shipped + "/Urkunde-Teilnahme.svg");
    touch(shipped + "/urkunde-klein.SVG");
    const QStringList folders = CertificateTemplateFinder::folders(
        own + "/Velmora-Sicherungsdatei.txt", own, shipped, shipped + "/");
    QCOMPARE(folders, QStringList({own, shipped}));
    QStringList found;
    for (const auto& entry : CertificateTemplateFinder::find(folders))
        found.append(QDir(root.path()).relativeFilePath(entry.fileName));
    QCOMPARE(found, QStringList({"own/Urkunde-Podest.svg", "shipped/urkunde-klein.SVG",
                                 "shipped/Urkunde-Teilnahme.svg"}));
}

QTEST_MAIN(TstCertificateTemplate)
#include "tst_certificatetemplate.moc"
